#pragma once

#include <optional>
#include <QObject>
#include <QPalette>

class QWidget;

// Whether the interface is drawn light or dark, decided in this order:
// forced dark (TOVALO_DARK in the environment, or the launch option), the
// desktop's colour-scheme preference from the settings portal, and when the
// desktop states none, the lightness of the application palette's window colour.
class Appearance final : public QObject
{
    Q_OBJECT

public:
    // Created on first use; needs a QGuiApplication.
    static Appearance &shared();

    bool isDark() const { return m_dark; }

    void setForcedDark(bool forced);
    // 0 no preference, 1 prefer dark, 2 prefer light; nothing when no portal answers.
    void setPortalPreference(std::optional<uint> preference);
    std::optional<uint> portalPreference() const { return m_portal; }

    // Keeps `*dark` equal to isDark() for as long as `widget` lives, and
    // repaints the widget whenever the appearance changes.
    void follow(QWidget *widget, bool *dark);
    // Makes `palette` the application's. From then on the desktop's own
    // palette, as it was before, stands for the desktop's lightness.
    void setApplicationPalette(const QPalette &palette);

signals:
    void changed(bool dark);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    Appearance();
    bool wantsDark() const;
    void reevaluate();
    bool paletteIsDark() const;

    bool m_forced = false;
    std::optional<uint> m_portal;
    bool m_dark = false;
    std::optional<QPalette> m_desktopPalette;
    bool m_settingPalette = false;
};
