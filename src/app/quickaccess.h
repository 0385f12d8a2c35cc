#pragma once

#include <QObject>
#include <QPointer>

class Commands;
class MenuBarList;
class QAction;
class QMainWindow;
class TrayItem;

// The ways to Tovalo from outside its window: the desktop-wide Ctrl+Shift+Space
// and the Edit menu command, both toggling Quick Search; the tray item while
// "showMenuBar" is on; Go ▸ Latest downloads whenever the desktop has no tray
// to put the item in; and the "quick" and "menubar" views of snapshot mode.
class QuickAccess final : public QObject
{
    Q_OBJECT

public:
    QuickAccess(QMainWindow *window, Commands *commands, bool showMenuBar, QObject *parent = nullptr);

    // Start-up step 2: the hot key. Silent when the desktop refuses it.
    static void registerHotKey();
    // Follows the setting at once.
    void setShowMenuBar(bool show);
    TrayItem *tray() const { return m_tray; }

private:
    void addToGoMenu(QMainWindow *window);
    void registerViews();

    TrayItem *m_tray = nullptr;
    QAction *m_latest = nullptr;
    QPointer<MenuBarList> m_snapshotList;
};
