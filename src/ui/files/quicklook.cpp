#include "quicklook.h"

#include "previewpanel.h"

#include "shell/mainwindow.h"
#include "state/appstate.h"

#include <QApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QWindow>

QuickLook &QuickLook::shared()
{
    static QuickLook *instance = [] {
        auto *made = new QuickLook(&AppState::shared());
        AppState::shared().setPreviewFollower(made);
        return made;
    }();
    return *instance;
}

QuickLook::QuickLook(AppState *state, QObject *parent)
    : QObject(parent), m_state(state),
      m_closedAt(QDateTime::fromMSecsSinceEpoch(-62135596800000LL, Qt::UTC))
{
}

QuickLook::~QuickLook()
{
    delete m_panel.data();
}

PreviewPanel *QuickLook::panel() const
{
    return m_panel.data();
}

bool QuickLook::isOpen() const
{
    return m_panel && m_panel->isVisible();
}

void QuickLook::toggle(const QList<QByteArray> &paths, int index)
{
    if (!m_panel) {
        m_panel = new PreviewPanel;
        connect(m_panel.data(), &PreviewPanel::stepped, this, &QuickLook::stepped);
        connect(m_panel.data(), &PreviewPanel::closed, this, &QuickLook::panelClosed);
    }
    if (m_panel->isVisible()) {
        m_panel->hide();
        return;
    }
    m_paths = paths;
    m_index = index;
    // Taking control: the panel gets the list and starts at the stored index.
    m_panel->setPaths(m_paths);
    m_panel->setCurrentIndex(m_index);
    placePanel();
    m_panel->show();
    m_panel->raise();
    m_panel->activateWindow();
}

void QuickLook::follow(const QList<QByteArray> &paths, int index)
{
    if (!isOpen())
        return;
    if (paths != m_paths) {
        m_paths = paths;
        m_panel->setPaths(m_paths);
    }
    m_index = index;
    m_panel->setCurrentIndex(index);
}

void QuickLook::close()
{
    if (isOpen())
        m_panel->hide();
}

std::optional<QByteArray> QuickLook::currentPath() const
{
    if (!isOpen())
        return std::nullopt;
    const int at = m_panel->currentIndex();
    if (at < 0 || at >= m_paths.size())
        return std::nullopt;
    return m_paths.at(at);
}

void QuickLook::stepped()
{
    if (m_state)
        m_state->followPreview();
}

void QuickLook::panelClosed()
{
    m_closedAt = QDateTime::currentDateTimeUtc();
    // The panel had the keyboard; without this it goes to the search field,
    // or with no window manager to no window at all.
    MainWindow::returnKeyboard();
}

void QuickLook::placePanel()
{
    QWidget *from = QApplication::activeWindow();
    if (!from || from == m_panel.data()) {
        from = nullptr;
        for (QWidget *top : QApplication::topLevelWidgets())
            if (top->objectName() == QLatin1String("main") && top->isVisible())
                from = top;
    }
    const QScreen *screen = from ? from->screen() : QGuiApplication::primaryScreen();
    const QRect available = screen ? screen->availableGeometry() : QRect();
    const QRect at = PreviewPanel::placement(from ? from->frameGeometry() : QRect(), m_panel->sizeHint(), available);
    m_panel->resize(at.size());
    m_panel->move(at.topLeft());
    // Wayland ignores move(); a compositor places a transient over its parent.
    m_panel->winId();
    if (from && m_panel->windowHandle())
        m_panel->windowHandle()->setTransientParent(from->windowHandle());
}
