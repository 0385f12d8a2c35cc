#include "quicksearch.h"

#include "quickpanel.h"
#include "quicksearchview.h"

#include "files/files.h"
#include "files/thumbs.h"
#include "shell/mainwindow.h"

#include "library/library.h"
#include "state/appstate.h"

#include <QApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QScreen>
#include <QWindow>
#include <QWidget>

QuickSearch &QuickSearch::shared()
{
    static QuickSearch *made = new QuickSearch(Library::shared(), AppState::shared(), Thumbs::shared(), qApp);
    return *made;
}

QuickSearch::QuickSearch(Library &library, AppState &state, Thumbs &thumbs, QObject *parent)
    : QObject(parent), m_library(library), m_state(state), m_thumbs(thumbs), m_hooks(desktopHooks())
{
    // Windows must go while the application object is whole; the shared
    // controller itself is only deleted with it.
    if (QCoreApplication *app = QCoreApplication::instance())
        connect(app, &QCoreApplication::aboutToQuit, this, [this]() {
            delete m_panel;
            m_panel = nullptr;
            m_view = nullptr;
        });
}

QuickSearch::~QuickSearch()
{
    delete m_panel;
}

QuickSearch::Hooks QuickSearch::desktopHooks()
{
    return {&Files::open, &Files::reveal, &QuickSearch::bringMainWindowForward};
}

void QuickSearch::makePanel()
{
    m_view = new QuickSearchView(m_model, m_library, m_thumbs);
    m_panel = new QuickPanel(m_view);
    connect(m_view, &QuickSearchView::closeRequested, this, &QuickSearch::hide);
    connect(m_view, &QuickSearchView::acted, this, [this](QuickModel::Command command, const FileItem &file) {
        hide();
        perform(command, file);
    });
    connect(m_panel, &QuickPanel::focusLost, this, &QuickSearch::hidden);
}

QScreen *QuickSearch::targetScreen()
{
    if (QScreen *under = QGuiApplication::screenAt(QCursor::pos()))
        return under;
    return QGuiApplication::primaryScreen();
}

void QuickSearch::show()
{
    if (!m_panel)
        makePanel();
    m_model.reset();
    QScreen *screen = targetScreen();
    if (!screen)
        return;
    if (placesWindows(QGuiApplication::platformName()))
        m_panel->placeOn(screen->availableGeometry());
    else
        placeAsTransient(screen);
    m_panel->present();
    emit shown();
}

bool QuickSearch::placesWindows(const QString &platformName)
{
    return !platformName.startsWith(QLatin1String("wayland"), Qt::CaseInsensitive);
}

void QuickSearch::placeAsTransient(QScreen *screen)
{
    m_panel->winId();
    QWindow *window = m_panel->windowHandle();
    if (!window)
        return;
    window->setScreen(screen);
    QWidget *main = nullptr;
    for (QWidget *top : QApplication::topLevelWidgets())
        if (top->objectName() == QLatin1String("main") && top->isVisible())
            main = top;
    window->setTransientParent(main ? main->windowHandle() : nullptr);
}

void QuickSearch::hide()
{
    if (!m_panel || !m_panel->isVisible())
        return;
    m_panel->hide();
    emit hidden();
}

void QuickSearch::toggle()
{
    if (isVisible())
        hide();
    else
        show();
}

bool QuickSearch::isVisible() const
{
    return m_panel && m_panel->isVisible();
}

void QuickSearch::perform(QuickModel::Command command, const FileItem &file)
{
    switch (command) {
    case QuickModel::Command::open:
        if (m_hooks.open)
            m_hooks.open({file});
        break;
    case QuickModel::Command::reveal:
        if (m_hooks.reveal)
            m_hooks.reveal({file});
        break;
    case QuickModel::Command::showInMain:
        // The main window's search finds the file by name, with it selected.
        m_state.go(Route::recents());
        m_state.setQuery(file.name());
        m_state.setSelection({file.path()});
        m_state.setAnchor(file.path());
        AppState::releaseSearchFocus();
        if (m_hooks.showMainWindow)
            m_hooks.showMainWindow();
        break;
    case QuickModel::Command::none:
    case QuickModel::Command::close:
        break;
    }
}

void QuickSearch::bringMainWindowForward()
{
    QWidget *target = MainWindow::find();
    if (!target) {
        for (QWidget *window : QApplication::topLevelWidgets()) {
            const Qt::WindowType type = window->windowType();
            if (type == Qt::Window || type == Qt::Dialog) {
                target = window;
                break;
            }
        }
    }
    if (target)
        MainWindow::bringForward(target);
}
