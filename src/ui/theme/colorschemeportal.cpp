#include "colorschemeportal.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusVariant>

namespace {

const QString kService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString kInterface = QStringLiteral("org.freedesktop.portal.Settings");
const QString kGroup = QStringLiteral("org.freedesktop.appearance");
const QString kKey = QStringLiteral("color-scheme");

// Start-up waits this long at most; a slow portal's later signal still arrives.
constexpr int kReplyTimeoutMs = 400;

std::optional<uint> call(const QDBusConnection &bus, const QString &method)
{
    QDBusMessage message = QDBusMessage::createMethodCall(kService, kPath, kInterface, method);
    message << kGroup << kKey;
    const QDBusMessage reply = bus.call(message, QDBus::Block, kReplyTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return std::nullopt;
    return ColorSchemePortal::decode(reply.arguments().constFirst());
}

} // namespace

ColorSchemePortal::ColorSchemePortal(const QDBusConnection &bus, QObject *parent)
    : QObject(parent), m_bus(bus)
{
}

std::optional<uint> ColorSchemePortal::read() const
{
    if (!m_bus.isConnected())
        return std::nullopt;
    // ReadOne is the current method; portals before version 2 have only Read.
    if (auto value = call(m_bus, QStringLiteral("ReadOne")))
        return value;
    return call(m_bus, QStringLiteral("Read"));
}

void ColorSchemePortal::listen()
{
    if (!m_bus.isConnected())
        return;
    // D-Bus signals connect by signature only; there is no member-pointer form.
    m_bus.connect(kService, kPath, kInterface, QStringLiteral("SettingChanged"), this,
                  SLOT(onSettingChanged(QString, QString, QDBusVariant)));
}

std::optional<uint> ColorSchemePortal::decode(const QVariant &value)
{
    QVariant inner = value;
    for (int depth = 0; depth < 4 && inner.canConvert<QDBusVariant>() &&
                        inner.metaType() == QMetaType::fromType<QDBusVariant>();
         ++depth)
        inner = qvariant_cast<QDBusVariant>(inner).variant();
    bool ok = false;
    const uint preference = inner.toUInt(&ok);
    if (!ok || preference > 2)
        return std::nullopt;
    return preference;
}

void ColorSchemePortal::onSettingChanged(const QString &group, const QString &key,
                                         const QDBusVariant &value)
{
    if (group != kGroup || key != kKey)
        return;
    if (const auto preference = decode(value.variant()))
        emit preferenceChanged(*preference);
}
