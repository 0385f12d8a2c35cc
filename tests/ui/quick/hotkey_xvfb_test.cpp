#include "xvfbtesting.h"

#include "tempdir.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QObject>
#include <QStringList>

#include <gtest/gtest.h>

namespace {

QProcessEnvironment probeEnvironment(const QString &display)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), display);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    return env;
}

const QStringList kCombination{QStringLiteral("key"), QStringLiteral("ctrl+shift+space")};

} // namespace

TEST(HotKeyXvfb, CtrlShiftSpaceTogglesThePanelWhateverTheLocks)
{
    if (!XvfbDisplay::available())
        GTEST_SKIP() << "Xvfb and xdotool are needed for the hot key test (apt-get install xvfb xdotool)";
    XvfbDisplay display;
    ASSERT_FALSE(display.name().isEmpty());
    ChildProgram probe(QStringLiteral(TOVALO_QUICK_PROBE), {QStringLiteral("hotkey")},
                       probeEnvironment(display.name()));
    ASSERT_TRUE(probe.waitForLine(QStringLiteral("grab taken"))) << probe.output().toStdString();

    ASSERT_TRUE(xdotool(display.name(), kCombination));
    ASSERT_TRUE(probe.waitForLine(QStringLiteral("shown"))) << probe.output().toStdString();
    ASSERT_TRUE(probe.waitForLine(QStringLiteral("painted"))) << probe.output().toStdString();
    ASSERT_TRUE(xdotool(display.name(), kCombination));
    ASSERT_TRUE(probe.waitForLine(QStringLiteral("hidden"))) << probe.output().toStdString();

    // With Caps Lock, then also Num Lock, switched on.
    for (const char *lock : {"Caps_Lock", "Num_Lock"}) {
        SCOPED_TRACE(lock);
        ASSERT_TRUE(xdotool(display.name(), {QStringLiteral("key"), QString::fromLatin1(lock)}));
        ASSERT_TRUE(xdotool(display.name(), kCombination));
        ASSERT_TRUE(probe.waitForLine(QStringLiteral("shown"))) << probe.output().toStdString();
        ASSERT_TRUE(xdotool(display.name(), kCombination));
        ASSERT_TRUE(probe.waitForLine(QStringLiteral("hidden"))) << probe.output().toStdString();
    }

    // A second program finds the combination taken: no error, the first keeps it.
    ChildProgram second(QStringLiteral(TOVALO_QUICK_PROBE), {QStringLiteral("hotkey")},
                        probeEnvironment(display.name()));
    ASSERT_TRUE(second.waitForLine(QStringLiteral("grab refused"))) << second.output().toStdString();
    ASSERT_TRUE(xdotool(display.name(), kCombination));
    ASSERT_TRUE(probe.waitForLine(QStringLiteral("shown"))) << probe.output().toStdString();
}

namespace {

// Stands in for the desktop's StatusNotifierWatcher: records the items
// that register and says a host is there.
class FakeWatcher final : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
    Q_PROPERTY(bool IsStatusNotifierHostRegistered READ hostRegistered)
    Q_PROPERTY(int ProtocolVersion READ protocolVersion)
    Q_PROPERTY(QStringList RegisteredStatusNotifierItems READ items)

public:
    bool hostRegistered() const { return true; }
    int protocolVersion() const { return 0; }
    QStringList items() const { return registered; }
    QStringList registered;

public slots:
    void RegisterStatusNotifierItem(const QString &service) { registered.append(service); }
    void RegisterStatusNotifierHost(const QString &) {}

signals:
    void StatusNotifierItemRegistered(const QString &service);
    void StatusNotifierHostRegistered();
};

} // namespace

TEST(TrayXvfb, ItemComesWithTheHostAndFollowsTheSettingAtOnce)
{
    if (!XvfbDisplay::available())
        GTEST_SKIP() << "Xvfb and xdotool are needed for the tray test (apt-get install xvfb xdotool)";
    XvfbDisplay display;
    ASSERT_FALSE(display.name().isEmpty());
    QProcess daemon;
    daemon.start(QStringLiteral("dbus-daemon"),
                 {QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--print-address")});
    ASSERT_TRUE(daemon.waitForReadyRead(5000));
    const QString address = QString::fromUtf8(daemon.readLine()).trimmed();
    {
        QDBusConnection bus = QDBusConnection::connectToBus(address, QStringLiteral("tray-test"));
        ASSERT_TRUE(bus.isConnected());
        TempTree tree;
        tree.folder("Downloads");

        QProcessEnvironment env = probeEnvironment(display.name());
        env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), address);
        ChildProgram probe(QStringLiteral(TOVALO_QUICK_PROBE),
                           {QStringLiteral("tray"), QString::fromUtf8(tree.path("Downloads"))}, env);
        // No host yet: no icon, which would otherwise be stuck without a tray for good.
        ASSERT_TRUE(probe.waitForLine(QStringLiteral("host none"))) << probe.output().toStdString();
        ASSERT_TRUE(probe.waitForLine(QStringLiteral("shown 0"))) << probe.output().toStdString();

        FakeWatcher watcher;
        ASSERT_TRUE(bus.registerObject(QStringLiteral("/StatusNotifierWatcher"), &watcher,
                                       QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllProperties |
                                           QDBusConnection::ExportAllSignals));
        ASSERT_TRUE(bus.registerService(QStringLiteral("org.kde.StatusNotifierWatcher")));
        ASSERT_TRUE(probe.waitForLine(QStringLiteral("host statusNotifier"))) << probe.output().toStdString();
        ASSERT_TRUE(probe.waitForLine(QStringLiteral("shown 1"))) << probe.output().toStdString();
        ASSERT_TRUE(waitUntil([&] { return watcher.registered.size() == 1; }));
        const QString item = watcher.registered.first();
        EXPECT_TRUE(bus.interface()->isServiceRegistered(item));

        probe.write("off\n");
        ASSERT_TRUE(probe.waitForLine(QStringLiteral("shown 0"))) << probe.output().toStdString();
        EXPECT_TRUE(waitUntil([&] { return !bus.interface()->isServiceRegistered(item); }));

        probe.write("on\n");
        ASSERT_TRUE(probe.waitForLine(QStringLiteral("shown 1"))) << probe.output().toStdString();
        ASSERT_TRUE(waitUntil([&] { return watcher.registered.size() == 2; }));
        EXPECT_TRUE(bus.interface()->isServiceRegistered(watcher.registered.last()));
    }
    QDBusConnection::disconnectFromBus(QStringLiteral("tray-test"));
    daemon.terminate();
    daemon.waitForFinished(3000);
}

#include "hotkey_xvfb_test.moc"
