#include "mainwindow.h"

#include "inspector.h"
#include "pageswitcher.h"
#include "sidebar.h"
#include "toast.h"
#include "topbar.h"
#include "windowpalette.h"

#include "access/accessibility.h"
#include "state/appstate.h"
#include "theme/appearance.h"
#include "theme/theme.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPainter>
#include <QTimer>
#include <QVBoxLayout>

namespace {

// A one-point rule in the line colour, upright or across.
class Rule final : public QWidget
{
public:
    Rule(Qt::Orientation orientation, QWidget *parent) : QWidget(parent)
    {
        if (orientation == Qt::Vertical)
            setFixedWidth(1);
        else
            setFixedHeight(1);
        Appearance::shared().follow(this, &m_dark);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter(this).fillRect(rect(), Theme::line.resolve(m_dark));
    }

private:
    bool m_dark = false;
};

// The window's content: the background every part is laid on.
class Frame final : public QWidget
{
public:
    explicit Frame(QWidget *parent) : QWidget(parent) { Appearance::shared().follow(this, &m_dark); }

protected:
    void paintEvent(QPaintEvent *) override { QPainter(this).fillRect(rect(), Theme::bg.resolve(m_dark)); }

private:
    bool m_dark = false;
};

} // namespace

MainWindow::MainWindow(AppState &state, Library &library, Trasher &trasher, Thumbs &thumbs, QWidget *parent)
    : QMainWindow(parent), m_state(state)
{
    setObjectName(QStringLiteral("main"));
    Accessibility::install();
    setWindowTitle(QStringLiteral("Tovalo"));
    setMinimumSize(kMinWidth, kMinHeight);
    resize(kDefaultWidth, kDefaultHeight);
    WindowPalette::follow(this);
    AppState::setSearchFocusRelease(&MainWindow::releaseFocusInMainWindows);

    auto *frame = new Frame(this);
    m_sidebar = new Sidebar(state, library, frame);
    m_topBar = new TopBar(state, library, frame);
    m_pages = new PageSwitcher(state, library, thumbs, frame);
    m_inspectorRule = new Rule(Qt::Vertical, frame);
    m_inspector = new Inspector(state, library, thumbs, frame);
    m_inspector->setFixedWidth(Inspector::kWidth);

    auto *row = new QHBoxLayout(frame);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    row->addWidget(m_sidebar);
    row->addWidget(new Rule(Qt::Vertical, frame));
    auto *column = new QVBoxLayout;
    column->setSpacing(0);
    column->addWidget(m_topBar);
    column->addWidget(new Rule(Qt::Horizontal, frame));
    auto *body = new QHBoxLayout;
    body->setSpacing(0);
    body->addWidget(m_pages, 1);
    body->addWidget(m_inspectorRule);
    body->addWidget(m_inspector);
    column->addLayout(body, 1);
    row->addLayout(column, 1);
    setCentralWidget(frame);
    // Made last so it stacks above every part of the frame.
    m_toast = new Toast(trasher, frame);

    connect(&state, &AppState::showInspectorChanged, this, &MainWindow::followInspector);
    // The keyboard that was in the old page goes to the new page's files.
    connect(m_pages, &PageSwitcher::pageChanged, this, [this] {
        if (focusWidget() == m_pages)
            focusFiles();
    });
    followInspector();
}

MainWindow::~MainWindow() = default;

QLineEdit *MainWindow::searchField() const
{
    return m_topBar->searchField();
}

QWidget *MainWindow::page() const
{
    return m_pages->current();
}

QWidget *MainWindow::fileView() const
{
    QWidget *shown = page();
    if (!shown)
        return nullptr;
    for (QWidget *each : shown->findChildren<QWidget *>())
        if (each->property("fileView").toBool() && each->isVisibleTo(this))
            return each;
    return nullptr;
}

void MainWindow::focusFiles(Qt::FocusReason reason)
{
    if (QWidget *view = fileView()) {
        view->setFocus(reason);
    } else if (QWidget *shown = page()) {
        // A page without files takes the keyboard itself rather than handing it
        // to a button, where a stray Space would press it.
        shown->setFocus(reason);
    }
}

MainWindow *MainWindow::find()
{
    for (QWidget *window : QApplication::topLevelWidgets())
        if (auto *main = qobject_cast<MainWindow *>(window))
            return main;
    return nullptr;
}

void MainWindow::bringForward(QWidget *window)
{
    if (window->isMinimized())
        window->showNormal();
    else
        window->show();
    window->raise();
    window->activateWindow();
}

void MainWindow::releaseFocusInMainWindows()
{
    for (QWidget *window : QApplication::topLevelWidgets()) {
        auto *main = qobject_cast<MainWindow *>(window);
        if (!main)
            continue;
        // The focus widget, active window or not: an inactive window hands it back on activation.
        QWidget *focus = main->focusWidget();
        if (!focus || qobject_cast<QLineEdit *>(focus))
            main->focusFiles();
    }
}

void MainWindow::returnKeyboard()
{
    MainWindow *main = find();
    if (!main || !main->isVisible())
        return;
    main->raise();
    main->activateWindow();
    releaseFocusInMainWindows();
}

void MainWindow::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (m_shownOnce)
        return;
    m_shownOnce = true;
    // The file keys work from the first key press: activation hands the
    // keyboard to the files rather than to the first stop of the Tab chain.
    focusFiles();
    QTimer::singleShot(kReleaseFocusMs, this, []() { AppState::releaseSearchFocus(); });
}

void MainWindow::followInspector()
{
    const bool show = m_state.showInspector();
    m_inspectorRule->setVisible(show);
    m_inspector->setVisible(show);
}
