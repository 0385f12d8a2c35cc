#include "kindtag.h"

#include "theme/appearance.h"
#include "theme/theme.h"

#include <cmath>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

namespace {

constexpr qreal kFontSize = 9.5;
constexpr qreal kDot = 6;
constexpr qreal kGap = 5;
constexpr qreal kPadX = 6;
constexpr qreal kPadY = 3;
constexpr double kFillOpacity = 0.92;

// Cards paint a tag each; the font and its metrics are made once.
struct TagFont
{
    QFont font = Theme::font(kFontSize, QFont::DemiBold, Theme::Design::monospaced);
    QFontMetricsF metrics{font};
};

const TagFont &tagFont()
{
    static const TagFont made;
    return made;
}

} // namespace

KindTag::KindTag(const FileItem &item, QWidget *parent) : QWidget(parent)
{
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    Appearance::shared().follow(this, &m_dark);
    setItem(item);
}

void KindTag::setItem(const FileItem &item)
{
    const QString text = label(item);
    if (text == m_label && item.kind() == m_kind)
        return;
    m_label = text;
    m_kind = item.kind();
    updateGeometry();
    update();
}

QSize KindTag::sizeHint() const
{
    const QSizeF size = measure(m_label);
    return {int(std::ceil(size.width())), int(std::ceil(size.height()))};
}

QSize KindTag::minimumSizeHint() const
{
    return sizeHint();
}

QString KindTag::label(const FileItem &item)
{
    return label(item.ext(), item.kind());
}

QString KindTag::label(const QString &ext, Kind kind)
{
    return (ext.isEmpty() ? Kinds::title(kind) : ext).toUpper();
}

QSizeF KindTag::measure(const QString &label)
{
    const QFontMetricsF &fm = tagFont().metrics;
    const qreal content = kDot + kGap + fm.horizontalAdvance(label);
    return {content + 2 * kPadX, std::max(fm.height(), kDot) + 2 * kPadY};
}

void KindTag::paint(QPainter &painter, const QPointF &topLeft, const QString &label, Kind kind,
                    bool dark)
{
    const TagFont &tf = tagFont();
    const QRectF bounds(topLeft, measure(label));
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath shape;
    shape.addRoundedRect(bounds, bounds.height() / 2, bounds.height() / 2);
    painter.fillPath(shape, Theme::surface.withOpacity(kFillOpacity).resolve(dark));

    const qreal midY = bounds.center().y();
    painter.setPen(Qt::NoPen);
    painter.setBrush(Theme::tint(kind).resolve(dark));
    painter.drawEllipse(QRectF(bounds.left() + kPadX, midY - kDot / 2, kDot, kDot));

    const qreal textTop = midY - tf.metrics.height() / 2;
    painter.setFont(tf.font);
    painter.setPen(Theme::ink2.resolve(dark));
    painter.drawText(QPointF(bounds.left() + kPadX + kDot + kGap, textTop + tf.metrics.ascent()),
                     label);
    painter.restore();
}

void KindTag::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    paint(p, QPointF(0, 0), m_label, m_kind, m_dark);
}
