#include "foldershape.h"

#include <algorithm>

namespace {

// How far the tab's sloping side reaches to the right, and where its two
// control points sit.
constexpr qreal kSlope = 22;
constexpr qreal kSlopeControl = 11;

} // namespace

qreal FolderShape::tabWidth(qreal rectWidth)
{
    return std::min<qreal>(rectWidth * 0.36, 130);
}

QPainterPath FolderShape::path(const QRectF &rect) const
{
    const qreal x0 = rect.left();
    const qreal y0 = rect.top();
    const qreal x1 = rect.right();
    const qreal y1 = rect.bottom();
    const qreal w = tabWidth(rect.width());
    const qreal r = m_radius;
    const qreal tab = m_tab;

    QPainterPath path;
    path.moveTo(x0, y0 + r);
    path.quadTo(x0, y0, x0 + r, y0);
    path.lineTo(x0 + w, y0);
    path.cubicTo(x0 + w + kSlopeControl, y0, x0 + w + kSlopeControl, y0 + tab, x0 + w + kSlope, y0 + tab);
    path.lineTo(x1 - r, y0 + tab);
    path.quadTo(x1, y0 + tab, x1, y0 + tab + r);
    path.lineTo(x1, y1 - r);
    path.quadTo(x1, y1, x1 - r, y1);
    path.lineTo(x0 + r, y1);
    path.quadTo(x0, y1, x0, y1 - r);
    path.closeSubpath();
    return path;
}
