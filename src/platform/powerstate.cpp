#include "powerstate.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>

namespace {

const QString kProperties = QStringLiteral("org.freedesktop.DBus.Properties");

const QString kUPower = QStringLiteral("org.freedesktop.UPower");
const QString kUPowerPath = QStringLiteral("/org/freedesktop/UPower");

// The power-profiles daemon under its first name (Debian 12) and its later one.
struct Profiles
{
    const char16_t *service;
    const char16_t *path;
};
constexpr Profiles kProfiles[] = {
    {u"net.hadess.PowerProfiles", u"/net/hadess/PowerProfiles"},
    {u"org.freedesktop.UPower.PowerProfiles", u"/org/freedesktop/UPower/PowerProfiles"},
};

} // namespace

PowerState &PowerState::shared()
{
    static PowerState *instance = new PowerState(QDBusConnection::systemBus());
    return *instance;
}

PowerState::PowerState(QDBusConnection bus, QObject *parent) : QObject(parent), m_bus(std::move(bus))
{
    if (!m_bus.isConnected())
        return;
    // D-Bus signals connect by signature only; there is no member-pointer form.
    const char *slot = SLOT(onPropertiesChanged(QString, QVariantMap, QStringList));
    m_bus.connect(kUPower, kUPowerPath, kProperties, QStringLiteral("PropertiesChanged"), this, slot);
    ask(kUPower, kUPowerPath, kUPower, QStringLiteral("OnBattery"));
    for (const Profiles &p : kProfiles) {
        const QString service = QString::fromUtf16(p.service);
        const QString path = QString::fromUtf16(p.path);
        m_bus.connect(service, path, kProperties, QStringLiteral("PropertiesChanged"), this, slot);
        ask(service, path, service, QStringLiteral("ActiveProfile"));
    }
}

PowerSaving PowerState::saving() const
{
    if (m_onBattery)
        return PowerSaving::battery;
    return m_powerSaver ? PowerSaving::powerSaver : PowerSaving::none;
}

void PowerState::ask(const QString &service, const QString &path, const QString &interface, const QString &property)
{
    QDBusMessage get = QDBusMessage::createMethodCall(service, path, kProperties, QStringLiteral("Get"));
    get << interface << property;
    // Asked without waiting: a missing service costs the start-up nothing.
    auto *watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(get), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, interface, property](QDBusPendingCallWatcher *w) {
        const QDBusPendingReply<QDBusVariant> reply = *w;
        if (reply.isValid())
            take(interface, property, reply.value().variant());
        w->deleteLater();
    });
}

void PowerState::onPropertiesChanged(const QString &interface, const QVariantMap &changed, const QStringList &)
{
    for (auto it = changed.cbegin(); it != changed.cend(); ++it)
        take(interface, it.key(), it.value());
}

void PowerState::take(const QString &interface, const QString &property, const QVariant &value)
{
    const PowerSaving before = saving();
    if (interface == kUPower && property == u"OnBattery") {
        m_onBattery = value.toBool();
    } else if (property == u"ActiveProfile") {
        bool known = false;
        for (const Profiles &p : kProfiles)
            known = known || interface == QStringView(p.service);
        if (!known)
            return;
        m_powerSaver = value.toString() == u"power-saver";
    }
    if (saving() != before)
        emit savingChanged();
}

// Its meta-object code lives here, not with the other classes of the
// library: programs that never watch the power state then link no D-Bus.
#include "moc_powerstate.cpp"
