#include "appearance.h"

#include "colorschemeportal.h"

#include <QDBusConnection>
#include <QEvent>
#include <QGuiApplication>
#include <QPalette>
#include <QWidget>

namespace {

constexpr uint kPreferDark = 1;
constexpr uint kPreferLight = 2;

} // namespace

Appearance &Appearance::shared()
{
    static Appearance *instance = new Appearance;
    return *instance;
}

Appearance::Appearance() : QObject(qGuiApp)
{
    m_forced = qEnvironmentVariableIsSet("TOVALO_DARK");
    auto *portal = new ColorSchemePortal(QDBusConnection::sessionBus(), this);
    m_portal = portal->read();
    portal->listen();
    connect(portal, &ColorSchemePortal::preferenceChanged, this,
            [this](uint preference) { setPortalPreference(preference); });
    // Palette changes are sent to the application object as events.
    if (qGuiApp)
        qGuiApp->installEventFilter(this);
    m_dark = wantsDark();
}

void Appearance::setForcedDark(bool forced)
{
    if (m_forced == forced)
        return;
    m_forced = forced;
    reevaluate();
}

void Appearance::setPortalPreference(std::optional<uint> preference)
{
    if (m_portal == preference)
        return;
    m_portal = preference;
    reevaluate();
}

void Appearance::follow(QWidget *widget, bool *dark)
{
    *dark = m_dark;
    connect(this, &Appearance::changed, widget, [widget, dark](bool now) {
        *dark = now;
        widget->update();
    });
}

void Appearance::setApplicationPalette(const QPalette &palette)
{
    if (!m_desktopPalette)
        m_desktopPalette = QGuiApplication::palette();
    m_settingPalette = true;
    QGuiApplication::setPalette(palette);
    m_settingPalette = false;
}

bool Appearance::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == qGuiApp && event->type() == QEvent::ApplicationPaletteChange && !m_settingPalette)
        reevaluate();
    return QObject::eventFilter(watched, event);
}

bool Appearance::wantsDark() const
{
    if (m_forced || m_portal == kPreferDark)
        return true;
    if (m_portal == kPreferLight)
        return false;
    return paletteIsDark();
}

void Appearance::reevaluate()
{
    const bool dark = wantsDark();
    if (dark == m_dark)
        return;
    m_dark = dark;
    emit changed(m_dark);
}

bool Appearance::paletteIsDark() const
{
    const QPalette palette = m_desktopPalette.value_or(QGuiApplication::palette());
    const QColor window = palette.color(QPalette::Window);
    const QColor text = palette.color(QPalette::WindowText);
    // A dark scheme puts light text on a dark window.
    return window.lightnessF() < text.lightnessF() && window.lightnessF() < 0.5f;
}
