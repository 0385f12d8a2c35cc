#pragma once

#include "hotkey.h"

#include <QKeyCombination>
#include <QObject>

#include <functional>
#include <optional>

class ShortcutPortal;

// A key combination for the whole desktop, by whatever the session offers:
// on X11 a grab of the key (the platform layer's HotKey); on Wayland the
// desktop portal's GlobalShortcuts when the running portal has it;
// otherwise nothing, silently: the menu command still opens the panel.
// The Gui part lives here because only the toolkit knows the display.
class GlobalShortcut final : public QObject
{
    Q_OBJECT

public:
    enum class Mechanism
    {
        none,
        x11,
        portal
    };

    static GlobalShortcut &shared();
    explicit GlobalShortcut(QObject *parent = nullptr);
    ~GlobalShortcut() override;

    // Stores `action` (replacing an earlier one) and reserves `combination`.
    // The action runs on the main thread, after the key event is done with.
    // Meant to be called once per process.
    Mechanism registerKey(QKeyCombination combination, std::function<void()> action);
    Mechanism mechanism() const { return m_mechanism; }
    // What the X11 grab came to; unavailable when no grab was tried.
    HotKey::Grab x11Grab() const { return m_grab; }

    // The X keysym of keys whose symbol is their Latin-1 code (Space,
    // digits, letters in lower case, punctuation).
    static std::optional<quint32> keysymFor(Qt::Key key);
    static quint16 x11Modifiers(Qt::KeyboardModifiers modifiers);
    // "CTRL+SHIFT+space", as the portal's preferred trigger.
    static QString portalTrigger(QKeyCombination combination);

private:
    void fire();

    Mechanism m_mechanism = Mechanism::none;
    HotKey::Grab m_grab = HotKey::Grab::unavailable;
    HotKey m_x11;
    bool m_filterInstalled = false;
    ShortcutPortal *m_portal = nullptr;
    std::function<void()> m_action;
};
