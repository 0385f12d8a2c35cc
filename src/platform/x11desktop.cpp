#include "x11desktop.h"

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

struct FreeDeleter
{
    void operator()(void *p) const { std::free(p); }
};

xcb_atom_t atom(xcb_connection_t *c, const QByteArray &name)
{
    std::unique_ptr<xcb_intern_atom_reply_t, FreeDeleter> reply(xcb_intern_atom_reply(
        c, xcb_intern_atom(c, 0, quint16(name.size()), name.constData()), nullptr));
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

int screenNumber(xcb_connection_t *c, quint32 root)
{
    int n = 0;
    for (xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(c)); it.rem;
         xcb_screen_next(&it), ++n) {
        if (it.data->root == root)
            return n;
    }
    return 0;
}

void sendToRoot(xcb_connection_t *c, quint32 root, quint32 window, xcb_atom_t type,
                const quint32 (&data)[5])
{
    xcb_client_message_event_t message;
    std::memset(&message, 0, sizeof message);
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = window;
    message.type = type;
    std::memcpy(message.data.data32, data, sizeof data);
    xcb_send_event(c, 0, root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char *>(&message));
}

bool hasAtom(xcb_connection_t *c, quint32 window, xcb_atom_t property, xcb_atom_t value)
{
    std::unique_ptr<xcb_get_property_reply_t, FreeDeleter> reply(xcb_get_property_reply(
        c, xcb_get_property(c, 0, window, property, XCB_ATOM_ATOM, 0, 1024), nullptr));
    if (!reply || reply->format != 32 || reply->type != XCB_ATOM_ATOM)
        return false;
    const auto *atoms = static_cast<const xcb_atom_t *>(xcb_get_property_value(reply.get()));
    const int count = xcb_get_property_value_length(reply.get()) / int(sizeof(xcb_atom_t));
    for (int i = 0; i < count; ++i) {
        if (atoms[i] == value)
            return true;
    }
    return false;
}

bool usable(xcb_connection_t *c)
{
    return c && !xcb_connection_has_error(c);
}

} // namespace

namespace X11Desktop {

quint32 defaultRoot(xcb_connection_t *connection)
{
    if (!usable(connection))
        return 0;
    const xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(connection));
    return it.rem ? it.data->root : 0;
}

bool selectionOwned(xcb_connection_t *connection, quint32 root, const QByteArray &name)
{
    if (!usable(connection))
        return false;
    const xcb_atom_t selection = atom(connection, name + QByteArray::number(screenNumber(connection, root)));
    if (selection == XCB_ATOM_NONE)
        return false;
    std::unique_ptr<xcb_get_selection_owner_reply_t, FreeDeleter> reply(xcb_get_selection_owner_reply(
        connection, xcb_get_selection_owner(connection, selection), nullptr));
    return reply && reply->owner != XCB_WINDOW_NONE;
}

bool compositing(xcb_connection_t *connection, quint32 root)
{
    return selectionOwned(connection, root, "_NET_WM_CM_S");
}

bool hasTray(xcb_connection_t *connection, quint32 root)
{
    return selectionOwned(connection, root, "_NET_SYSTEM_TRAY_S");
}

void showOnAllDesktops(xcb_connection_t *connection, quint32 root, quint32 window, bool mapped)
{
    if (!usable(connection) || window == 0)
        return;
    const xcb_atom_t desktop = atom(connection, "_NET_WM_DESKTOP");
    const xcb_atom_t state = atom(connection, "_NET_WM_STATE");
    const xcb_atom_t sticky = atom(connection, "_NET_WM_STATE_STICKY");
    constexpr quint32 kAllDesktops = 0xFFFFFFFF;
    if (mapped) {
        constexpr quint32 kAdd = 1, kFromApplication = 1;
        sendToRoot(connection, root, window, desktop, {kAllDesktops, kFromApplication, 0, 0, 0});
        sendToRoot(connection, root, window, state, {kAdd, sticky, 0, kFromApplication, 0});
    } else {
        xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, desktop, XCB_ATOM_CARDINAL, 32, 1,
                            &kAllDesktops);
        // Appended, so the states the toolkit writes (above, skip taskbar) stay.
        if (!hasAtom(connection, window, state, sticky))
            xcb_change_property(connection, XCB_PROP_MODE_APPEND, window, state, XCB_ATOM_ATOM, 32, 1,
                                &sticky);
    }
    xcb_flush(connection);
}

} // namespace X11Desktop
