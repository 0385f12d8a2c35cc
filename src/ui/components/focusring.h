#pragma once

#include <QRectF>
#include <Qt>

class QPainter;

// The one focus ring of every custom control: two points of Theme::ring
// inside the control's shape, drawn over whatever fill it has, so a filled
// button keeps a visible ring in both themes.
class FocusRing final
{
public:
    static constexpr qreal kWidth = 2;

    // Focus that came from the keyboard, which is the focus a ring shows.
    static bool fromKeyboard(Qt::FocusReason reason);
    // A rounded ring inside `bounds`. On a filled shape (`onFill`) a line of
    // the window background parts ring and fill, so the ring stays visible
    // on a fill of its own colour.
    static void draw(QPainter &p, const QRectF &bounds, qreal radius, bool dark,
                     bool onFill = false);
};
