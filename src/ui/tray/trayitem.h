#pragma once

#include <QByteArray>
#include <QDBusServiceWatcher>
#include <QObject>
#include <QPoint>
#include <QPointer>

#include <functional>

class MenuBarList;
class QMenu;
class QSystemTrayIcon;
class QWidget;
class Thumbs;

// The tray item while "showMenuBar" is on: an icon in the desktop's tray
// (a StatusNotifierItem where a host has registered, an embedded icon in an
// X11 tray otherwise) whose click opens the latest-downloads list.
//
// The toolkit decides once, when its first tray icon is made, which kind of
// tray there is, and with no host it reports the icon visible while showing
// nothing. So the icon is made only once a host is there, and made again
// whenever the host's watcher comes (back) onto the session bus.
class TrayItem final : public QObject
{
    Q_OBJECT

public:
    enum class Host
    {
        none,
        statusNotifier,
        xembed
    };

    static constexpr const char *kWatcherService = "org.kde.StatusNotifierWatcher";

    // `folder` names the downloads folder, `openMain` brings the main window forward.
    TrayItem(std::function<QByteArray()> folder, Thumbs &thumbs, std::function<void()> openMain,
             bool enabled, QObject *parent = nullptr);
    ~TrayItem() override;

    bool enabled() const { return m_enabled; }
    // Follows the setting at once: the icon comes or goes now.
    void setEnabled(bool enabled);
    Host host() const { return m_host; }
    // Whether an icon of ours is in a tray now.
    bool shown() const;
    QSystemTrayIcon *icon() const { return m_icon; }

    // The list in a small window of its own near `near` (global coordinates).
    void showList(const QPoint &near);
    QWidget *listWindow() const;

    // Asks the session bus and the display which tray there is.
    static Host detectHost();

signals:
    void hostChanged(TrayItem::Host host);
    void shownChanged(bool shown);

private:
    void refresh();
    void rebuild();
    void setHost(Host host);
    void makeIcon();
    void dropIcon();
    Q_SLOT void hostRegistered();

    std::function<QByteArray()> m_folder;
    Thumbs &m_thumbs;
    std::function<void()> m_openMain;
    bool m_enabled;
    Host m_host = Host::none;
    bool m_shown = false;
    QDBusServiceWatcher m_watcher;
    QSystemTrayIcon *m_icon = nullptr;
    QMenu *m_menu = nullptr;
    QPointer<QWidget> m_window;
    MenuBarList *m_list = nullptr;
};
