#include "trayitem.h"

#include "menubarlist.h"
#include "x11desktop.h"

#include "files/files.h"
#include "theme/appearance.h"
#include "theme/symbols.h"
#include "theme/theme.h"

#include <QCursor>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusInterface>
#include <QEvent>
#include <QGuiApplication>
#include <QIcon>
#include <QKeyEvent>
#include <QMenu>
#include <QScreen>
#include <QSystemTrayIcon>
#include <QVBoxLayout>
#include <QtGui/qguiapplication_platform.h>

namespace {

const QString kWatcherPath = QStringLiteral("/StatusNotifierWatcher");

FileItem fileAt(const QByteArray &path)
{
    FileItem::Fields fields;
    fields.path = path;
    return FileItem(fields);
}

QIcon trayIcon(bool dark)
{
    QIcon icon;
    for (int side : {16, 22, 24, 32, 48, 64})
        icon.addPixmap(Symbols::pixmap(u"tray.and.arrow.down.fill", side / 1.2, Theme::ink.resolve(dark)));
    return icon;
}

// A frameless window above the others that goes away when it loses the
// keyboard, as a menu would, but lets a row be dragged out of it.
class ListWindow final : public QWidget
{
public:
    explicit ListWindow(QWidget *content)
        : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
    {
        setObjectName(QStringLiteral("menubar"));
        setWindowTitle(QStringLiteral("Latest downloads"));
        auto *layout = new QVBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(content);
    }

protected:
    bool event(QEvent *event) override
    {
        if (event->type() == QEvent::WindowDeactivate && isVisible())
            hide();
        return QWidget::event(event);
    }

    void keyPressEvent(QKeyEvent *event) override
    {
        if (event->key() == Qt::Key_Escape)
            hide();
        else
            QWidget::keyPressEvent(event);
    }
};

} // namespace

TrayItem::TrayItem(std::function<QByteArray()> folder, Thumbs &thumbs, std::function<void()> openMain,
                   bool enabled, QObject *parent)
    : QObject(parent), m_folder(std::move(folder)), m_thumbs(thumbs), m_openMain(std::move(openMain)),
      m_enabled(enabled)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (bus.isConnected()) {
        m_watcher.setConnection(bus);
        m_watcher.setWatchMode(QDBusServiceWatcher::WatchForRegistration |
                               QDBusServiceWatcher::WatchForUnregistration);
        m_watcher.addWatchedService(QString::fromLatin1(kWatcherService));
        connect(&m_watcher, &QDBusServiceWatcher::serviceRegistered, this, &TrayItem::rebuild);
        connect(&m_watcher, &QDBusServiceWatcher::serviceUnregistered, this, &TrayItem::refresh);
        // A watcher may come up before any tray host registers with it.
        bus.connect(QString::fromLatin1(kWatcherService), kWatcherPath, QString::fromLatin1(kWatcherService),
                    QStringLiteral("StatusNotifierHostRegistered"), this, SLOT(hostRegistered()));
    }
    connect(&Appearance::shared(), &Appearance::changed, this, [this](bool dark) {
        if (m_icon)
            m_icon->setIcon(trayIcon(dark));
    });
    refresh();
}

TrayItem::~TrayItem()
{
    dropIcon();
    delete m_window;
}

TrayItem::Host TrayItem::detectHost()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    const QString service = QString::fromLatin1(kWatcherService);
    if (bus.isConnected() && bus.interface() && bus.interface()->isServiceRegistered(service)) {
        QDBusInterface watcher(service, kWatcherPath, service, bus);
        if (watcher.isValid() && watcher.property("IsStatusNotifierHostRegistered").toBool())
            return Host::statusNotifier;
    }
    if (auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr) {
        if (X11Desktop::hasTray(x11->connection(), X11Desktop::defaultRoot(x11->connection())))
            return Host::xembed;
    }
    return Host::none;
}

void TrayItem::setEnabled(bool enabled)
{
    if (enabled == m_enabled)
        return;
    m_enabled = enabled;
    refresh();
}

bool TrayItem::shown() const
{
    return m_shown;
}

void TrayItem::hostRegistered()
{
    rebuild();
}

void TrayItem::rebuild()
{
    // A new watcher knows nothing of an icon registered with the old one.
    dropIcon();
    refresh();
}

void TrayItem::setHost(Host host)
{
    if (host == m_host)
        return;
    m_host = host;
    emit hostChanged(host);
}

void TrayItem::refresh()
{
    setHost(detectHost());
    if (m_enabled && m_host != Host::none) {
        if (!m_icon)
            makeIcon();
    } else {
        dropIcon();
    }
    const bool shown = m_icon != nullptr;
    if (shown != m_shown) {
        m_shown = shown;
        emit shownChanged(shown);
    }
}

void TrayItem::makeIcon()
{
    m_menu = new QMenu;
    connect(m_menu->addAction(QStringLiteral("Latest downloads")), &QAction::triggered, this,
            [this]() { showList(QCursor::pos()); });
    connect(m_menu->addAction(QStringLiteral("Open Tovalo")), &QAction::triggered, this, [this]() {
        if (m_openMain)
            m_openMain();
    });
    m_icon = new QSystemTrayIcon(trayIcon(Appearance::shared().isDark()), this);
    m_icon->setToolTip(QStringLiteral("Tovalo: latest downloads"));
    m_icon->setContextMenu(m_menu);
    connect(m_icon, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason != QSystemTrayIcon::Trigger && reason != QSystemTrayIcon::DoubleClick)
            return;
        if (m_window && m_window->isVisible()) {
            m_window->hide();
            return;
        }
        const QRect where = m_icon->geometry();
        showList(where.isValid() ? where.bottomLeft() : QCursor::pos());
    });
    m_icon->show();
}

void TrayItem::dropIcon()
{
    if (m_icon) {
        m_icon->hide();
        delete m_icon;
        m_icon = nullptr;
    }
    delete m_menu;
    m_menu = nullptr;
    if (m_window)
        m_window->hide();
    if (m_shown) {
        m_shown = false;
        emit shownChanged(false);
    }
}

QWidget *TrayItem::listWindow() const
{
    return m_window;
}

void TrayItem::showList(const QPoint &near)
{
    if (!m_window) {
        m_list = new MenuBarList(m_folder, m_thumbs);
        m_window = new ListWindow(m_list);
        connect(m_list, &MenuBarList::openMainRequested, this, [this]() {
            m_window->hide();
            if (m_openMain)
                m_openMain();
        });
        connect(m_list, &MenuBarList::openRequested, this, [this](const QByteArray &path) {
            m_window->hide();
            Files::open({fileAt(path)});
        });
        connect(m_list, &MenuBarList::revealRequested, this,
                [](const QByteArray &path) { Files::reveal({fileAt(path)}); });
    }
    m_list->reload();
    m_window->adjustSize();
    // Kept on the screen of the icon, below or above it as room allows.
    QScreen *screen = QGuiApplication::screenAt(near);
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    QPoint at = near - QPoint(m_window->width() / 2, 0);
    if (screen) {
        const QRect room = screen->availableGeometry();
        if (at.y() + m_window->height() > room.bottom())
            at.setY(near.y() - m_window->height());
        at.setX(std::clamp(at.x(), room.left(), std::max(room.left(), room.right() - m_window->width())));
        at.setY(std::clamp(at.y(), room.top(), std::max(room.top(), room.bottom() - m_window->height())));
    }
    m_window->move(at);
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
    m_list->focusFirst();
}
