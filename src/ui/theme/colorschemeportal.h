#pragma once

#include <optional>
#include <QDBusConnection>
#include <QObject>
#include <QString>

class QDBusVariant;

// The desktop's colour-scheme preference, read from the freedesktop settings
// portal (org.freedesktop.appearance color-scheme): 0 no preference, 1 prefer
// dark, 2 prefer light.
class ColorSchemePortal final : public QObject
{
    Q_OBJECT

public:
    explicit ColorSchemePortal(const QDBusConnection &bus, QObject *parent = nullptr);

    // Asks the portal once, waiting briefly; nothing without a session bus or portal.
    std::optional<uint> read() const;
    // Starts reporting changes as preferenceChanged.
    void listen();

    // The preference carried by a portal reply or signal value, which may be
    // wrapped in one or more variants (Read wraps it twice, ReadOne once).
    static std::optional<uint> decode(const QVariant &value);

signals:
    void preferenceChanged(uint preference);

private slots:
    void onSettingChanged(const QString &group, const QString &key, const QDBusVariant &value);

private:
    QDBusConnection m_bus;
};
