#include "globalshortcut.h"

#include "shortcutportal.h"
#include "x11desktop.h"

#include <QDBusConnection>
#include <QGuiApplication>
#include <QMetaObject>
#include <QtGui/qguiapplication_platform.h>

namespace {

const QString kShortcutId = QStringLiteral("quick-search");

} // namespace

GlobalShortcut &GlobalShortcut::shared()
{
    static GlobalShortcut *made = new GlobalShortcut(qApp);
    return *made;
}

GlobalShortcut::GlobalShortcut(QObject *parent) : QObject(parent) {}

GlobalShortcut::~GlobalShortcut()
{
    if (m_filterInstalled && qApp)
        qApp->removeNativeEventFilter(&m_x11);
}

std::optional<quint32> GlobalShortcut::keysymFor(Qt::Key key)
{
    if (key >= Qt::Key_A && key <= Qt::Key_Z)
        return quint32(key - Qt::Key_A + 'a');
    if (key >= Qt::Key_Space && key <= Qt::Key_AsciiTilde)
        return quint32(key);
    return std::nullopt;
}

quint16 GlobalShortcut::x11Modifiers(Qt::KeyboardModifiers modifiers)
{
    quint16 out = 0;
    if (modifiers & Qt::ShiftModifier)
        out |= HotKey::kShift;
    if (modifiers & Qt::ControlModifier)
        out |= HotKey::kControl;
    if (modifiers & Qt::AltModifier)
        out |= HotKey::kMod1;
    if (modifiers & Qt::MetaModifier)
        out |= HotKey::kMod4;
    return out;
}

QString GlobalShortcut::portalTrigger(QKeyCombination combination)
{
    QStringList parts;
    const Qt::KeyboardModifiers modifiers = combination.keyboardModifiers();
    if (modifiers & Qt::ControlModifier)
        parts.append(QStringLiteral("CTRL"));
    if (modifiers & Qt::AltModifier)
        parts.append(QStringLiteral("ALT"));
    if (modifiers & Qt::ShiftModifier)
        parts.append(QStringLiteral("SHIFT"));
    if (modifiers & Qt::MetaModifier)
        parts.append(QStringLiteral("LOGO"));
    const Qt::Key key = combination.key();
    if (key == Qt::Key_Space)
        parts.append(QStringLiteral("space"));
    else if (const std::optional<quint32> sym = keysymFor(key))
        parts.append(QString(QChar(char16_t(*sym))));
    return parts.join(u'+');
}

void GlobalShortcut::fire()
{
    // Queued: the toggle must not run inside the toolkit's event handling.
    if (m_action)
        QMetaObject::invokeMethod(this, m_action, Qt::QueuedConnection);
}

GlobalShortcut::Mechanism GlobalShortcut::registerKey(QKeyCombination combination, std::function<void()> action)
{
    m_action = std::move(action);
    m_mechanism = Mechanism::none;
    m_grab = HotKey::Grab::unavailable;
    const std::optional<quint32> keysym = keysymFor(combination.key());
    if (!keysym)
        return m_mechanism;

    if (auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr) {
        xcb_connection_t *connection = x11->connection();
        m_grab = m_x11.grab(connection, X11Desktop::defaultRoot(connection), *keysym,
                            x11Modifiers(combination.keyboardModifiers()), [this]() { fire(); });
        if (m_grab == HotKey::Grab::taken) {
            if (!m_filterInstalled)
                qApp->installNativeEventFilter(&m_x11);
            m_filterInstalled = true;
            m_mechanism = Mechanism::x11;
        }
        return m_mechanism;
    }

    if (QGuiApplication::platformName().startsWith(QStringLiteral("wayland"))) {
        const QDBusConnection bus = QDBusConnection::sessionBus();
        if (!ShortcutPortal::offered(bus))
            return m_mechanism;
        delete m_portal;
        m_portal = new ShortcutPortal(bus, this);
        connect(m_portal, &ShortcutPortal::activated, this, [this](const QString &id) {
            if (id == kShortcutId)
                fire();
        });
        m_portal->bind(kShortcutId, QStringLiteral("Quick Search from Anywhere"), portalTrigger(combination));
        m_mechanism = Mechanism::portal;
    }
    return m_mechanism;
}
