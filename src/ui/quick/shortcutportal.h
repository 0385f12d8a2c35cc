#pragma once

#include <QDBusConnection>
#include <QDBusObjectPath>
#include <QObject>
#include <QString>
#include <QVariantMap>

// The desktop portal's GlobalShortcuts interface, for Wayland sessions where
// no program may grab keys itself: a session is asked for, one shortcut is
// bound with a preferred trigger (the desktop may ask the user to confirm
// or choose another), and its activations come back as signals.
class ShortcutPortal final : public QObject
{
    Q_OBJECT

public:
    static constexpr const char *kService = "org.freedesktop.portal.Desktop";
    static constexpr const char *kPath = "/org/freedesktop/portal/desktop";
    static constexpr const char *kInterface = "org.freedesktop.portal.GlobalShortcuts";

    explicit ShortcutPortal(const QDBusConnection &bus, QObject *parent = nullptr);

    // Whether the running portal has the interface at all.
    static bool offered(const QDBusConnection &bus);
    // Starts the session and binds `id`; `trigger` is in the XDG portal's
    // shortcut-trigger notation ("CTRL+SHIFT+space").
    void bind(const QString &id, const QString &description, const QString &trigger);
    bool bound() const { return m_bound; }

signals:
    void activated(const QString &id);
    void boundChanged(bool bound);

private:
    Q_SLOT void sessionCreated(uint response, const QVariantMap &results);
    Q_SLOT void shortcutsBound(uint response, const QVariantMap &results);
    Q_SLOT void portalActivated(const QDBusObjectPath &session, const QString &id, qulonglong timestamp,
                                const QVariantMap &options);
    // The path the portal will answer a request made with `token` on.
    QString requestPath(const QString &token) const;
    void awaitResponse(const QString &token, const char *slot);

    QDBusConnection m_bus;
    QString m_id;
    QString m_description;
    QString m_trigger;
    QString m_session;
    bool m_bound = false;
};
