#include "facetchip.h"

#include "components/focusring.h"

#include "theme/appearance.h"
#include "theme/theme.h"

#include <QFontMetricsF>
#include <QLocale>
#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace {

constexpr qreal kPadX = 10;
constexpr qreal kPadY = 5;
constexpr qreal kGap = 6;
constexpr double kCountOpacity = 0.6;

QFont titleFont()
{
    return Theme::font(11.5, QFont::DemiBold);
}

QFont countFont()
{
    return Theme::font(10.5, QFont::Medium, Theme::Design::monospaced);
}

} // namespace

FacetChip::FacetChip(const QString &title, int count, bool on, QWidget *parent)
    : QAbstractButton(parent), m_count(count), m_on(on)
{
    setText(title);
    setCursor(Qt::PointingHandCursor);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setFocusPolicy(Qt::TabFocus);
    Appearance::shared().follow(this, &m_dark);
}

void FacetChip::setOn(bool on)
{
    if (on == m_on)
        return;
    m_on = on;
    update();
}

QSize FacetChip::sizeHint() const
{
    const QFontMetricsF title(titleFont());
    const QFontMetricsF count(countFont());
    const qreal width = title.horizontalAdvance(text()) + kGap +
                        count.horizontalAdvance(QLocale().toString(m_count)) + 2 * kPadX;
    const qreal height = std::max(title.height(), count.height()) + 2 * kPadY;
    return {int(std::ceil(width)), int(std::ceil(height))};
}

QSize FacetChip::minimumSizeHint() const
{
    return sizeHint();
}

bool FacetChip::hitButton(const QPoint &pos) const
{
    QPainterPath capsule;
    capsule.addRoundedRect(rect(), height() / 2.0, height() / 2.0);
    return capsule.contains(pos);
}

void FacetChip::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF shape = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    const qreal radius = shape.height() / 2;
    if (m_on) {
        p.setPen(Qt::NoPen);
        p.setBrush(Theme::ink.resolve(m_dark));
    } else {
        p.setPen(QPen(Theme::line.resolve(m_dark), 1));
        p.setBrush(Theme::surface.resolve(m_dark));
    }
    p.drawRoundedRect(shape, radius, radius);

    const QColor ink = (m_on ? Theme::bg : Theme::ink2).resolve(m_dark);
    const QFontMetricsF titleMetrics(titleFont());
    const qreal titleWidth = titleMetrics.horizontalAdvance(text());
    const QRectF content = QRectF(rect()).adjusted(kPadX, 0, -kPadX, 0);
    p.setPen(ink);
    p.setFont(titleFont());
    p.drawText(QRectF(content.left(), 0, titleWidth + 1, height()), Qt::AlignLeft | Qt::AlignVCenter, text());
    QColor faint = ink;
    faint.setAlphaF(float(ink.alphaF() * kCountOpacity));
    p.setPen(faint);
    p.setFont(countFont());
    p.drawText(QRectF(content.left() + titleWidth + kGap, 0, content.width(), height()),
               Qt::AlignLeft | Qt::AlignVCenter, QLocale().toString(m_count));
    if (hasFocus())
        FocusRing::draw(p, QRectF(rect()), height() / 2.0, m_dark, m_on);
}
