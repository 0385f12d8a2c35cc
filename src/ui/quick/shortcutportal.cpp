#include "shortcutportal.h"

#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusPendingCall>
#include <QRandomGenerator>

namespace {

// One entry of BindShortcuts' a(sa{sv}).
struct Shortcut
{
    QString id;
    QVariantMap properties;
};

} // namespace

Q_DECLARE_METATYPE(Shortcut)

namespace {

QDBusArgument &operator<<(QDBusArgument &out, const Shortcut &shortcut)
{
    out.beginStructure();
    out << shortcut.id << shortcut.properties;
    out.endStructure();
    return out;
}

const QDBusArgument &operator>>(const QDBusArgument &in, Shortcut &shortcut)
{
    in.beginStructure();
    in >> shortcut.id >> shortcut.properties;
    in.endStructure();
    return in;
}

QString freshToken()
{
    return QStringLiteral("tovalo%1").arg(QRandomGenerator::global()->generate());
}

QDBusMessage portalCall(const QString &method)
{
    return QDBusMessage::createMethodCall(QString::fromLatin1(ShortcutPortal::kService),
                                          QString::fromLatin1(ShortcutPortal::kPath),
                                          QString::fromLatin1(ShortcutPortal::kInterface), method);
}

} // namespace

ShortcutPortal::ShortcutPortal(const QDBusConnection &bus, QObject *parent) : QObject(parent), m_bus(bus)
{
    qDBusRegisterMetaType<Shortcut>();
    qDBusRegisterMetaType<QList<Shortcut>>();
}

bool ShortcutPortal::offered(const QDBusConnection &bus)
{
    if (!bus.isConnected())
        return false;
    QDBusMessage get = QDBusMessage::createMethodCall(QString::fromLatin1(kService), QString::fromLatin1(kPath),
                                                      QStringLiteral("org.freedesktop.DBus.Properties"),
                                                      QStringLiteral("Get"));
    get << QString::fromLatin1(kInterface) << QStringLiteral("version");
    const QDBusMessage reply = bus.call(get, QDBus::Block, 2000);
    return reply.type() == QDBusMessage::ReplyMessage;
}

QString ShortcutPortal::requestPath(const QString &token) const
{
    QString sender = m_bus.baseService();
    sender.remove(0, 1); // the leading ':'
    sender.replace(u'.', u'_');
    return QStringLiteral("/org/freedesktop/portal/desktop/request/%1/%2").arg(sender, token);
}

void ShortcutPortal::awaitResponse(const QString &token, const char *slot)
{
    // Subscribed before the call, so a quick answer cannot slip past.
    m_bus.connect(QString::fromLatin1(kService), requestPath(token), QStringLiteral("org.freedesktop.portal.Request"),
                  QStringLiteral("Response"), this, slot);
}

void ShortcutPortal::bind(const QString &id, const QString &description, const QString &trigger)
{
    m_id = id;
    m_description = description;
    m_trigger = trigger;
    const QString token = freshToken();
    awaitResponse(token, SLOT(sessionCreated(uint, QVariantMap)));
    QDBusMessage call = portalCall(QStringLiteral("CreateSession"));
    call << QVariantMap{{QStringLiteral("handle_token"), token},
                        {QStringLiteral("session_handle_token"), freshToken()}};
    m_bus.asyncCall(call);
}

void ShortcutPortal::sessionCreated(uint response, const QVariantMap &results)
{
    if (response != 0)
        return;
    m_session = results.value(QStringLiteral("session_handle")).toString();
    if (m_session.isEmpty())
        return;
    m_bus.connect(QString::fromLatin1(kService), QString::fromLatin1(kPath), QString::fromLatin1(kInterface),
                  QStringLiteral("Activated"), this,
                  SLOT(portalActivated(QDBusObjectPath, QString, qulonglong, QVariantMap)));
    const QString token = freshToken();
    awaitResponse(token, SLOT(shortcutsBound(uint, QVariantMap)));
    QDBusMessage call = portalCall(QStringLiteral("BindShortcuts"));
    const QList<Shortcut> shortcuts{{m_id, {{QStringLiteral("description"), m_description},
                                            {QStringLiteral("preferred_trigger"), m_trigger}}}};
    call << QVariant::fromValue(QDBusObjectPath(m_session)) << QVariant::fromValue(shortcuts) << QString()
         << QVariantMap{{QStringLiteral("handle_token"), token}};
    m_bus.asyncCall(call);
}

void ShortcutPortal::shortcutsBound(uint response, const QVariantMap &)
{
    const bool bound = response == 0;
    if (bound == m_bound)
        return;
    m_bound = bound;
    emit boundChanged(bound);
}

void ShortcutPortal::portalActivated(const QDBusObjectPath &session, const QString &id, qulonglong,
                                     const QVariantMap &)
{
    if (session.path() == m_session)
        emit activated(id);
}
