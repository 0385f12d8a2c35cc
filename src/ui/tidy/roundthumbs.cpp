#include "roundthumbs.h"

#include "files/thumb.h"
#include "files/thumbs.h"
#include "theme/symbols.h"
#include "theme/theme.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>

namespace {

constexpr qreal kPlaceholderSymbol = 11;
constexpr qreal kIconInset = 3;
constexpr qreal kHairline = 1;

// A type icon stands in when a file has no picture of its own; cropped to
// fill a circle it turns into a shapeless blot, so it is fitted instead.
// Icons have see-through corners, pictures of content do not.
bool isIcon(const QImage &image)
{
    if (!image.hasAlphaChannel())
        return false;
    const int r = image.width() - 1;
    const int b = image.height() - 1;
    return qAlpha(image.pixel(0, 0)) == 0 && qAlpha(image.pixel(r, 0)) == 0 && qAlpha(image.pixel(0, b)) == 0 &&
           qAlpha(image.pixel(r, b)) == 0;
}

} // namespace

namespace RoundThumbs {

qreal width(qsizetype count, qreal overlap)
{
    return count <= 0 ? 0 : count * kSide - (count - 1) * overlap;
}

QStringList keys(const QList<FileItem> &items)
{
    QStringList out;
    out.reserve(items.size());
    for (const FileItem &item : items)
        out.append(Thumbs::key(item.path(), kAskedFor));
    return out;
}

void request(Thumbs &thumbs, const QList<FileItem> &items)
{
    for (const FileItem &item : items)
        thumbs.request(item.path(), kAskedFor);
}

void paint(QPainter &painter, const QPointF &topLeft, const QList<FileItem> &items, qreal overlap,
           const Thumbs &thumbs, bool dark)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor ring = Theme::surface.resolve(dark);
    QColor edge = Theme::line.resolve(dark);
    edge.setAlphaF(std::min(1.0f, edge.alphaF() * 2));
    qreal x = topLeft.x();
    for (const FileItem &item : items) {
        const QRectF frame(x, topLeft.y(), kSide, kSide);
        QPainterPath circle;
        circle.addEllipse(frame);
        painter.fillPath(circle, Theme::well.resolve(dark));
        const QImage image = thumbs.cached(item.path(), kAskedFor);
        if (image.isNull()) {
            Symbols::draw(painter, frame, Kinds::symbol(item.kind()), kPlaceholderSymbol,
                          Theme::ink3.resolve(dark));
        } else {
            painter.save();
            painter.setClipPath(circle, Qt::IntersectClip);
            const bool fitted = item.kind() == Kind::app || isIcon(image);
            Thumb::paint(painter, fitted ? frame.adjusted(kIconInset, kIconInset, -kIconInset, -kIconInset) : frame,
                         image, !fitted, dark);
            painter.restore();
        }
        // Centred on the edge: half of the ring covers the picture's rim.
        painter.setPen(QPen(ring, kRing));
        painter.setBrush(Qt::NoBrush);
        painter.drawEllipse(frame);
        // A hairline inside the ring, so a white picture on a white tile
        // still reads as a round picture, not as a gap.
        const qreal inset = kRing / 2 + kHairline / 2;
        painter.setPen(QPen(edge, kHairline));
        painter.drawEllipse(frame.adjusted(inset, inset, -inset, -inset));
        x += kSide - overlap;
    }
    painter.restore();
}

} // namespace RoundThumbs
