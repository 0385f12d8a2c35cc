#include "powerstate.h"
#include "tempdir.h"

#include <gtest/gtest.h>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QProcess>
#include <QSignalSpy>

namespace {

// UPower as the battery sees it: one property.
class FakeUPower final : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.UPower")
    Q_PROPERTY(bool OnBattery MEMBER onBattery)

public:
    bool onBattery = false;
};

// The power-profiles daemon under either of its names.
class FakeProfiles final : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "net.hadess.PowerProfiles")
    Q_PROPERTY(QString ActiveProfile MEMBER profile)

public:
    QString profile = QStringLiteral("balanced");
};

class FakeNewProfiles final : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.UPower.PowerProfiles")
    Q_PROPERTY(QString ActiveProfile MEMBER profile)

public:
    QString profile = QStringLiteral("balanced");
};

// A private system bus of our own, with the stand-in services on it.
class PrivateBus
{
public:
    PrivateBus()
    {
        m_daemon.start(QStringLiteral("dbus-daemon"), {QStringLiteral("--session"), QStringLiteral("--nofork"),
                                                       QStringLiteral("--print-address=1")});
        if (!m_daemon.waitForStarted(5000) || !m_daemon.waitForReadyRead(5000))
            return;
        m_address = QString::fromUtf8(m_daemon.readLine()).trimmed();
    }
    ~PrivateBus()
    {
        QDBusConnection::disconnectFromBus(QStringLiteral("power-client"));
        QDBusConnection::disconnectFromBus(QStringLiteral("power-server"));
        m_daemon.kill();
        m_daemon.waitForFinished();
    }
    bool ready() const { return !m_address.isEmpty(); }
    QDBusConnection server() const { return QDBusConnection::connectToBus(m_address, QStringLiteral("power-server")); }
    QDBusConnection client() const { return QDBusConnection::connectToBus(m_address, QStringLiteral("power-client")); }

    void serve(const QString &service, const QString &path, QObject *object)
    {
        QDBusConnection bus = server();
        bus.registerObject(path, object, QDBusConnection::ExportAllProperties);
        bus.registerService(service);
    }
    // What the real daemons send when a property changes.
    void announce(const QString &path, const QString &interface, const QString &property, const QVariant &value)
    {
        QDBusMessage changed = QDBusMessage::createSignal(path, QStringLiteral("org.freedesktop.DBus.Properties"),
                                                          QStringLiteral("PropertiesChanged"));
        changed << interface << QVariantMap{{property, value}} << QStringList{};
        server().send(changed);
    }

private:
    QProcess m_daemon;
    QString m_address;
};

const QString kUPower = QStringLiteral("org.freedesktop.UPower");
const QString kUPowerPath = QStringLiteral("/org/freedesktop/UPower");
const QString kProfiles = QStringLiteral("net.hadess.PowerProfiles");
const QString kProfilesPath = QStringLiteral("/net/hadess/PowerProfiles");

} // namespace

TEST(PowerState, ReadsBothServicesAtStartBatteryFirst)
{
    struct Case
    {
        const char *what;
        bool onBattery;
        const char *profile;
        PowerSaving expected;
    };
    const Case cases[] = {
        {"on mains, balanced", false, "balanced", PowerSaving::none},
        {"on battery", true, "balanced", PowerSaving::battery},
        {"power saver on mains", false, "power-saver", PowerSaving::powerSaver},
        {"both", true, "power-saver", PowerSaving::battery},
        {"performance", false, "performance", PowerSaving::none},
    };
    for (const Case &c : cases) {
        PrivateBus bus;
        ASSERT_TRUE(bus.ready());
        FakeUPower upower;
        upower.onBattery = c.onBattery;
        FakeProfiles profiles;
        profiles.profile = QString::fromLatin1(c.profile);
        bus.serve(kUPower, kUPowerPath, &upower);
        bus.serve(kProfiles, kProfilesPath, &profiles);

        PowerState state(bus.client());
        QSignalSpy changed(&state, &PowerState::savingChanged);
        if (c.expected != PowerSaving::none)
            ASSERT_TRUE(changed.wait(5000)) << c.what;
        else // both answers in, nothing to say
            ASSERT_TRUE(waitUntil([&] { return state.onBattery() == c.onBattery && !state.powerSaver(); })) << c.what;
        EXPECT_EQ(state.saving(), c.expected) << c.what;
    }
}

TEST(PowerState, FollowsChangesUntilThePowerComesBack)
{
    PrivateBus bus;
    ASSERT_TRUE(bus.ready());
    FakeUPower upower;
    FakeNewProfiles profiles; // the daemon's later name
    const QString newProfiles = QStringLiteral("org.freedesktop.UPower.PowerProfiles");
    const QString newProfilesPath = QStringLiteral("/org/freedesktop/UPower/PowerProfiles");
    bus.serve(kUPower, kUPowerPath, &upower);
    bus.serve(newProfiles, newProfilesPath, &profiles);
    PowerState state(bus.client());
    QSignalSpy changed(&state, &PowerState::savingChanged);

    // The stand-ins change first, as the daemons do, so a late first answer agrees.
    upower.onBattery = true;
    bus.announce(kUPowerPath, kUPower, QStringLiteral("OnBattery"), true);
    ASSERT_TRUE(waitUntil([&] { return state.saving() == PowerSaving::battery; }));
    profiles.profile = QStringLiteral("power-saver");
    bus.announce(newProfilesPath, newProfiles, QStringLiteral("ActiveProfile"), QStringLiteral("power-saver"));
    ASSERT_TRUE(waitUntil([&] { return state.powerSaver(); }));
    EXPECT_EQ(state.saving(), PowerSaving::battery);
    upower.onBattery = false;
    bus.announce(kUPowerPath, kUPower, QStringLiteral("OnBattery"), false);
    ASSERT_TRUE(waitUntil([&] { return state.saving() == PowerSaving::powerSaver; }));
    // Another interface's property of the same name is not the daemon's.
    bus.announce(newProfilesPath, QStringLiteral("org.example.Other"), QStringLiteral("ActiveProfile"),
                 QStringLiteral("balanced"));
    profiles.profile = QStringLiteral("balanced");
    bus.announce(newProfilesPath, newProfiles, QStringLiteral("ActiveProfile"), QStringLiteral("balanced"));
    ASSERT_TRUE(waitUntil([&] { return state.saving() == PowerSaving::none; }));
    EXPECT_EQ(changed.count(), 3); // battery, power saver, back to normal
}

TEST(PowerState, NoServicesNoSaving)
{
    PrivateBus bus;
    ASSERT_TRUE(bus.ready());
    PowerState state(bus.client());
    EXPECT_EQ(state.saving(), PowerSaving::none);
    const QDBusConnection none =
        QDBusConnection::connectToBus(QStringLiteral("unix:path=/nonexistent/bus"), QStringLiteral("power-none"));
    EXPECT_EQ(PowerState(none).saving(), PowerSaving::none);
}

#include "powerstate_test.moc"
