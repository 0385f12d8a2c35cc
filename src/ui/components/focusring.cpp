#include "focusring.h"

#include "theme/theme.h"

#include <QPainter>

bool FocusRing::fromKeyboard(Qt::FocusReason reason)
{
    return reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason ||
           reason == Qt::ShortcutFocusReason;
}

void FocusRing::draw(QPainter &p, const QRectF &bounds, qreal radius, bool dark, bool onFill)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(Qt::NoBrush);
    const qreal half = kWidth / 2;
    const auto inset = [&](qreal by) {
        p.drawRoundedRect(bounds.adjusted(by, by, -by, -by), std::max<qreal>(0, radius - by),
                          std::max<qreal>(0, radius - by));
    };
    if (onFill) {
        p.setPen(QPen(Theme::bg.resolve(dark), 1.5));
        inset(kWidth + 0.75);
    }
    p.setPen(QPen(Theme::ring.resolve(dark), kWidth));
    inset(half);
    p.restore();
}
