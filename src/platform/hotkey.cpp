#include "hotkey.h"

#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>
#include <optional>

namespace {

constexpr quint32 kNumLockSym = 0xff7f;
// Modifier bits that say which combination was pressed; locks and pointer
// buttons are not among them.
constexpr quint16 kCombinationBits = HotKey::kShift | HotKey::kControl | HotKey::kMod1 | 0x0010 |
                                     0x0020 | HotKey::kMod4 | 0x0080;

struct FreeDeleter
{
    void operator()(void *p) const { std::free(p); }
};
template <typename T> using Reply = std::unique_ptr<T, FreeDeleter>;

// The first keycode whose mapping makes `keysym`, in any column.
std::optional<xcb_keycode_t> keycodeFor(xcb_connection_t *c, quint32 keysym)
{
    const xcb_setup_t *setup = xcb_get_setup(c);
    const int first = setup->min_keycode;
    const int count = setup->max_keycode - setup->min_keycode + 1;
    Reply<xcb_get_keyboard_mapping_reply_t> reply(xcb_get_keyboard_mapping_reply(
        c, xcb_get_keyboard_mapping(c, xcb_keycode_t(first), quint8(count)), nullptr));
    if (!reply)
        return std::nullopt;
    const int perCode = reply->keysyms_per_keycode;
    const xcb_keysym_t *syms = xcb_get_keyboard_mapping_keysyms(reply.get());
    const int total = xcb_get_keyboard_mapping_keysyms_length(reply.get());
    for (int i = 0; perCode > 0 && i < total; ++i) {
        if (syms[i] == keysym)
            return xcb_keycode_t(first + i / perCode);
    }
    return std::nullopt;
}

// The modifier bit Num Lock sets on this keymap (Mod2 on nearly all, but
// the keymap is the authority); 0 when no modifier carries it.
quint16 numLockMask(xcb_connection_t *c)
{
    const std::optional<xcb_keycode_t> numLock = keycodeFor(c, kNumLockSym);
    if (!numLock)
        return 0;
    Reply<xcb_get_modifier_mapping_reply_t> reply(
        xcb_get_modifier_mapping_reply(c, xcb_get_modifier_mapping(c), nullptr));
    if (!reply)
        return 0;
    const xcb_keycode_t *codes = xcb_get_modifier_mapping_keycodes(reply.get());
    const int perModifier = reply->keycodes_per_modifier;
    for (int modifier = 0; modifier < 8; ++modifier) {
        for (int k = 0; k < perModifier; ++k) {
            if (codes[modifier * perModifier + k] == *numLock)
                return quint16(1u << modifier);
        }
    }
    return 0;
}

} // namespace

HotKey::~HotKey()
{
    release();
}

QList<quint16> HotKey::lockVariants(quint16 modifiers, quint16 numLock)
{
    QList<quint16> out{modifiers, quint16(modifiers | kLock)};
    if (numLock != 0 && numLock != kLock) {
        out.append(quint16(modifiers | numLock));
        out.append(quint16(modifiers | numLock | kLock));
    }
    return out;
}

bool HotKey::matches(quint16 state, quint16 modifiers, quint16 numLock)
{
    const quint16 bits = kCombinationBits & ~numLock;
    return (state & bits) == (modifiers & bits);
}

HotKey::Grab HotKey::grab(xcb_connection_t *connection, quint32 root, quint32 keysym,
                          quint16 modifiers, std::function<void()> action)
{
    release();
    if (!connection || xcb_connection_has_error(connection) || root == 0)
        return Grab::unavailable;
    const std::optional<xcb_keycode_t> keycode = keycodeFor(connection, keysym);
    if (!keycode)
        return Grab::unavailable;
    const quint16 numLock = numLockMask(connection);

    // Checked requests: a refusal comes back as an error reply to the very
    // request instead of reaching the toolkit's error handler as noise.
    QList<xcb_void_cookie_t> cookies;
    for (quint16 variant : lockVariants(modifiers, numLock))
        cookies.append(xcb_grab_key_checked(connection, 1, root, variant, *keycode,
                                            XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
    bool refused = false;
    for (const xcb_void_cookie_t &cookie : cookies) {
        Reply<xcb_generic_error_t> error(xcb_request_check(connection, cookie));
        if (error)
            refused = true;
    }
    if (refused) {
        // Partly taken variants would make the key work only with some locks on.
        for (quint16 variant : lockVariants(modifiers, numLock))
            xcb_ungrab_key(connection, *keycode, root, variant);
        xcb_flush(connection);
        return Grab::refused;
    }
    m_connection = connection;
    m_root = root;
    m_keycode = *keycode;
    m_modifiers = modifiers;
    m_numLock = numLock;
    m_action = std::move(action);
    return Grab::taken;
}

void HotKey::release()
{
    if (!m_connection)
        return;
    if (!xcb_connection_has_error(m_connection)) {
        for (quint16 variant : lockVariants(m_modifiers, m_numLock))
            xcb_ungrab_key(m_connection, m_keycode, m_root, variant);
        xcb_flush(m_connection);
    }
    m_connection = nullptr;
    m_action = {};
}

bool HotKey::nativeEventFilter(const QByteArray &eventType, void *message, qintptr *)
{
    if (!m_connection || eventType != "xcb_generic_event_t" || !message)
        return false;
    const auto *event = static_cast<const xcb_generic_event_t *>(message);
    const quint8 type = event->response_type & 0x7f;
    if (type != XCB_KEY_PRESS && type != XCB_KEY_RELEASE)
        return false;
    const auto *key = static_cast<const xcb_key_press_event_t *>(message);
    if (key->detail != m_keycode || !matches(key->state, m_modifiers, m_numLock))
        return false;
    if (type == XCB_KEY_RELEASE) {
        m_releasedAt = key->time;
        return true;
    }
    // Holding the keys down repeats them as release-press pairs with one
    // timestamp; only the first press toggles.
    if (m_releasedAt && *m_releasedAt == key->time)
        return true;
    // Delivered to our windows too while one of them has the focus; either
    // way the press is ours and nothing else should see it.
    if (m_action)
        m_action();
    return true;
}
