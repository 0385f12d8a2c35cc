#pragma once

#include "powersaving.h"

#include <QDBusConnection>
#include <QObject>
#include <QString>
#include <QVariantMap>

// Whether the computer is saving power, from UPower (on battery) and the
// power-profiles daemon (the power-saver profile), both on the system bus.
// Background passes wait while it is. Either service may be missing: then
// it simply never says so.
class PowerState final : public QObject
{
    Q_OBJECT

public:
    // Follows the system bus; main thread.
    static PowerState &shared();
    // Asks both services at once (without waiting) and follows their changes.
    explicit PowerState(QDBusConnection bus, QObject *parent = nullptr);

    bool onBattery() const { return m_onBattery; }
    bool powerSaver() const { return m_powerSaver; }
    // Why background work waits now; on battery comes first when both hold.
    PowerSaving saving() const;

signals:
    void savingChanged();

private slots:
    void onPropertiesChanged(const QString &interface, const QVariantMap &changed, const QStringList &invalidated);

private:
    void ask(const QString &service, const QString &path, const QString &interface, const QString &property);
    void take(const QString &interface, const QString &property, const QVariant &value);

    QDBusConnection m_bus;
    bool m_onBattery = false;
    bool m_powerSaver = false;
};
