#include "themecolor.h"

#include <algorithm>

QColor ThemeColor::resolve(bool dark) const
{
    QColor c = QColor::fromRgb(dark ? m_dark : m_light);
    c.setAlphaF(float(std::clamp(dark ? m_darkAlpha : m_lightAlpha, 0.0, 1.0)));
    return c;
}

ThemeColor ThemeColor::withOpacity(double factor) const
{
    return ThemeColor(m_light, m_dark, m_lightAlpha * factor, m_darkAlpha * factor);
}
