#pragma once

#include <QColor>
#include <QtGlobal>

// A colour with one value for the light appearance and one for the dark, each
// with its own opacity. It is resolved only when drawn, against the appearance
// of that moment, so a switch of the desktop's scheme needs no code elsewhere.
class ThemeColor final
{
public:
    // `light` and `dark` are 24-bit sRGB values written 0xRRGGBB.
    constexpr ThemeColor(quint32 light, quint32 dark, double lightAlpha = 1.0,
                         double darkAlpha = 1.0)
        : m_light(light & 0xFFFFFFu), m_dark(dark & 0xFFFFFFu), m_lightAlpha(lightAlpha),
          m_darkAlpha(darkAlpha)
    {
    }

    constexpr quint32 light() const { return m_light; }
    constexpr quint32 dark() const { return m_dark; }
    constexpr double lightAlpha() const { return m_lightAlpha; }
    constexpr double darkAlpha() const { return m_darkAlpha; }

    QColor resolve(bool dark) const;
    // The same colour drawn at `factor` of its opacity in both appearances
    // ("surface at 92 %").
    ThemeColor withOpacity(double factor) const;

    friend constexpr bool operator==(const ThemeColor &, const ThemeColor &) = default;

private:
    quint32 m_light;
    quint32 m_dark;
    double m_lightAlpha;
    double m_darkAlpha;
};
