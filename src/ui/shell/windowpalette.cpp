#include "windowpalette.h"

#include "theme/appearance.h"
#include "theme/theme.h"

#include <QWidget>

namespace {

// A translucent theme colour laid over the window background, for palette
// roles that styles draw without blending.
QColor over(const ThemeColor &color, bool dark)
{
    const QColor top = color.resolve(dark);
    const QColor base = Theme::bg.resolve(dark);
    const float a = top.alphaF();
    return QColor::fromRgbF(top.redF() * a + base.redF() * (1 - a), top.greenF() * a + base.greenF() * (1 - a),
                            top.blueF() * a + base.blueF() * (1 - a));
}

} // namespace

QPalette WindowPalette::of(bool dark)
{
    const QColor bg = Theme::bg.resolve(dark);
    const QColor surface = Theme::surface.resolve(dark);
    const QColor well = Theme::well.resolve(dark);
    const QColor ink = Theme::ink.resolve(dark);
    const QColor ink2 = Theme::ink2.resolve(dark);
    const QColor ink3 = Theme::ink3.resolve(dark);
    const QColor marker = Theme::marker.resolve(dark);
    const QColor line = over(Theme::line, dark);

    QPalette p;
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        const bool off = group == QPalette::Disabled;
        p.setColor(group, QPalette::Window, bg);
        p.setColor(group, QPalette::WindowText, off ? ink3 : ink);
        p.setColor(group, QPalette::Base, surface);
        p.setColor(group, QPalette::AlternateBase, well);
        p.setColor(group, QPalette::Text, off ? ink3 : ink);
        p.setColor(group, QPalette::PlaceholderText, ink3);
        p.setColor(group, QPalette::Button, surface);
        p.setColor(group, QPalette::ButtonText, off ? ink3 : ink);
        p.setColor(group, QPalette::BrightText, Theme::markerInk.resolve(dark));
        p.setColor(group, QPalette::Highlight, group == QPalette::Inactive ? over(Theme::active, dark) : marker);
        p.setColor(group, QPalette::HighlightedText, group == QPalette::Inactive ? ink : Theme::markerInk.resolve(dark));
        p.setColor(group, QPalette::ToolTipBase, surface);
        p.setColor(group, QPalette::ToolTipText, ink);
        p.setColor(group, QPalette::Link, marker);
        p.setColor(group, QPalette::LinkVisited, Theme::ring.resolve(dark));
        // The bevel roles: styles draw frames, scroll-bar grooves and separators with them.
        p.setColor(group, QPalette::Light, dark ? well.lighter(130) : surface);
        p.setColor(group, QPalette::Midlight, well);
        p.setColor(group, QPalette::Mid, line);
        p.setColor(group, QPalette::Dark, ink3);
        p.setColor(group, QPalette::Shadow, dark ? QColor(0, 0, 0) : ink2);
    }
    return p;
}

void WindowPalette::follow(QWidget *window)
{
    window->setPalette(of(Appearance::shared().isDark()));
    QObject::connect(&Appearance::shared(), &Appearance::changed, window,
                     [window](bool dark) { window->setPalette(of(dark)); });
}
