#pragma once

#include <QByteArray>
#include <QtGlobal>

struct xcb_connection_t;

// What an X11 desktop offers a window, asked of the display directly:
// whether a compositor blends translucent windows, whether a system tray
// takes embedded icons, and how to keep a window on every workspace.
namespace X11Desktop {

// The root window of the display's first screen; 0 without a connection.
quint32 defaultRoot(xcb_connection_t *connection);
// Whether someone owns the selection `name` + the number of the screen
// whose root is `root` (_NET_WM_CM_S0, _NET_SYSTEM_TRAY_S0).
bool selectionOwned(xcb_connection_t *connection, quint32 root, const QByteArray &name);
bool compositing(xcb_connection_t *connection, quint32 root);
bool hasTray(xcb_connection_t *connection, quint32 root);
// Marks `window` sticky and on all desktops: written as properties while it
// is unmapped (the window manager reads them when it maps the window) and
// asked of the window manager through the root window while it is mapped.
void showOnAllDesktops(xcb_connection_t *connection, quint32 root, quint32 window, bool mapped);

} // namespace X11Desktop
