#pragma once

#include <QAbstractNativeEventFilter>
#include <QList>
#include <QtGlobal>

#include <functional>
#include <optional>

struct xcb_connection_t;

// A key combination reserved for this program on an X11 display: a passive
// grab of the key on the root window, taken once for every state of Caps
// Lock and Num Lock, since X compares the whole modifier state and a grab of
// Ctrl+Shift alone would miss the press while a lock is on. Presses arrive
// through the native event filter, that is on the thread running the event
// loop, and run the stored action there.
class HotKey final : public QAbstractNativeEventFilter
{
public:
    enum class Grab
    {
        taken,
        // Another program holds the combination: not an error, the key just
        // does nothing for us.
        refused,
        // No connection, or no key on the keyboard makes this symbol.
        unavailable
    };

    // The core protocol's modifier bits.
    static constexpr quint16 kShift = 0x0001;
    static constexpr quint16 kLock = 0x0002;
    static constexpr quint16 kControl = 0x0004;
    static constexpr quint16 kMod1 = 0x0008; // Alt on every common keymap
    static constexpr quint16 kMod4 = 0x0040; // Super
    static constexpr quint32 kSpaceSym = 0x0020;

    HotKey() = default;
    ~HotKey() override;
    HotKey(const HotKey &) = delete;
    HotKey &operator=(const HotKey &) = delete;

    // Releases any earlier grab of this object, then grabs `keysym` with
    // `modifiers` on `root`. The caller installs this object as a native
    // event filter and keeps the connection open while the grab lasts.
    Grab grab(xcb_connection_t *connection, quint32 root, quint32 keysym, quint16 modifiers,
              std::function<void()> action);
    void release();
    bool grabbed() const { return m_connection != nullptr; }
    quint8 keycode() const { return m_keycode; }

    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *result) override;

    // `modifiers` with every combination of Caps Lock and `numLock` added.
    static QList<quint16> lockVariants(quint16 modifiers, quint16 numLock);
    // Whether a press with `state` is the combination `modifiers`, whatever
    // the locks and the pointer buttons.
    static bool matches(quint16 state, quint16 modifiers, quint16 numLock);

private:
    xcb_connection_t *m_connection = nullptr;
    quint32 m_root = 0;
    quint8 m_keycode = 0;
    quint16 m_modifiers = 0;
    quint16 m_numLock = 0;
    std::function<void()> m_action;
    std::optional<quint32> m_releasedAt;
};
