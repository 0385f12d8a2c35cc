#include "theme/colorschemeportal.h"

#include <gtest/gtest.h>
#include <QDBusConnection>
#include <QDBusVariant>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QThread>

namespace {

const QString kService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString kGroup = QStringLiteral("org.freedesktop.appearance");
const QString kKey = QStringLiteral("color-scheme");

// A settings portal of the current version: ReadOne, Read and the change signal.
class CurrentPortal final : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Settings")

public:
    uint scheme = 1;

public slots:
    QDBusVariant ReadOne(const QString &group, const QString &key)
    {
        return QDBusVariant(group == kGroup && key == kKey ? QVariant(scheme)
                                                           : QVariant(QString()));
    }
    QDBusVariant Read(const QString &group, const QString &key)
    {
        return QDBusVariant(QVariant::fromValue(ReadOne(group, key)));
    }
    void announce(const QString &group, const QString &key, uint value)
    {
        emit SettingChanged(group, key, QDBusVariant(QVariant(value)));
    }

signals:
    void SettingChanged(const QString &group, const QString &key, const QDBusVariant &value);
};

// A portal from before ReadOne existed: Read wraps the value twice.
class OldPortal final : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Settings")

public slots:
    QDBusVariant Read(const QString &, const QString &)
    {
        return QDBusVariant(QVariant::fromValue(QDBusVariant(QVariant(uint(2)))));
    }
};

// A private message bus with a portal object served from its own thread, so
// the client's blocking call gets its answer.
class PrivateBus
{
public:
    explicit PrivateBus(QObject *portal) : m_portal(portal)
    {
        m_daemon.start(QStringLiteral("dbus-daemon"),
                       {QStringLiteral("--session"), QStringLiteral("--nofork"),
                        QStringLiteral("--print-address=1")});
        if (!m_daemon.waitForStarted(5000) || !m_daemon.waitForReadyRead(5000))
            return;
        m_address = QString::fromUtf8(m_daemon.readLine()).trimmed();
        QDBusConnection server =
            QDBusConnection::connectToBus(m_address, QStringLiteral("portal-server"));
        // Registering gives the object a signal relay as a child; it moves with it.
        server.registerObject(kPath, m_portal,
                              QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllSignals);
        server.registerService(kService);
        m_portal->moveToThread(&m_thread);
        m_thread.start();
    }
    ~PrivateBus()
    {
        QDBusConnection::disconnectFromBus(QStringLiteral("portal-client"));
        QDBusConnection::disconnectFromBus(QStringLiteral("portal-server"));
        QMetaObject::invokeMethod(m_portal, [p = m_portal] { p->deleteLater(); });
        m_thread.quit();
        m_thread.wait();
        m_daemon.kill();
        m_daemon.waitForFinished();
    }
    QDBusConnection client() const
    {
        return QDBusConnection::connectToBus(m_address, QStringLiteral("portal-client"));
    }
    bool ready() const { return !m_address.isEmpty(); }

private:
    QObject *m_portal;
    QProcess m_daemon;
    QThread m_thread;
    QString m_address;
};

} // namespace

TEST(ColorSchemePortalBus, ReadsTheSchemeAndFollowsItsChanges)
{
    auto *served = new CurrentPortal;
    PrivateBus bus(served);
    ASSERT_TRUE(bus.ready());
    ColorSchemePortal portal(bus.client());
    EXPECT_EQ(portal.read(), 1u);

    portal.listen();
    QSignalSpy spy(&portal, &ColorSchemePortal::preferenceChanged);
    QMetaObject::invokeMethod(served, [served] {
        served->announce(QStringLiteral("org.gnome.desktop.interface"), kKey, 1);
        served->announce(kGroup, QStringLiteral("accent-color"), 1);
        served->announce(kGroup, kKey, 2);
    });
    ASSERT_TRUE(spy.wait(5000));
    ASSERT_EQ(spy.count(), 1);
    EXPECT_EQ(spy.at(0).at(0).toUInt(), 2u);
}

TEST(ColorSchemePortalBus, FallsBackToReadOnAnOlderPortal)
{
    PrivateBus bus(new OldPortal);
    ASSERT_TRUE(bus.ready());
    EXPECT_EQ(ColorSchemePortal(bus.client()).read(), 2u);
}

TEST(ColorSchemePortalBus, NoBusNoAnswer)
{
    const QDBusConnection none = QDBusConnection::connectToBus(
        QStringLiteral("unix:path=/nonexistent/bus"), QStringLiteral("portal-none"));
    EXPECT_EQ(ColorSchemePortal(none).read(), std::nullopt);
}

#include "colorschemeportal_test.moc"
