#include "apptheme.h"

#include "windowpalette.h"

#include "theme/appearance.h"
#include "theme/fonts.h"
#include "theme/framestyle.h"
#include "theme/theme.h"

#include <QApplication>
#include <QToolTip>

namespace {

constexpr qreal kBodyPoints = 13;
constexpr qreal kTipPoints = 12;

void apply(FrameStyle *style, bool dark)
{
    style->setDark(dark);
    const QPalette palette = WindowPalette::of(dark);
    Appearance::shared().setApplicationPalette(palette);
    QToolTip::setPalette(palette);
}

} // namespace

namespace AppTheme {

void install()
{
    Fonts::ensureLoaded();
    auto *style = new FrameStyle;
    QApplication::setStyle(style);
    QApplication::setFont(Theme::font(kBodyPoints));
    QToolTip::setFont(Theme::font(kTipPoints));
    Appearance &appearance = Appearance::shared();
    apply(style, appearance.isDark());
    QObject::connect(&appearance, &Appearance::changed, style, [style](bool dark) { apply(style, dark); });
}

} // namespace AppTheme
