#include "filterchip.h"

#include "components/focusring.h"

#include "theme/appearance.h"
#include "theme/symbols.h"
#include "theme/theme.h"

#include <QFontMetricsF>
#include <QPainter>

#include <cmath>

namespace {

constexpr qreal kPadX = 9;
constexpr qreal kPadY = 4;
constexpr qreal kGap = 5;
constexpr qreal kRadius = 6;
constexpr qreal kSymbolPoints = 10;
constexpr qreal kMarkPoints = 8;

QFont labelFont(bool struck)
{
    QFont f = Theme::font(12, QFont::DemiBold);
    f.setStrikeOut(struck);
    return f;
}

QString helpFor(bool dropped)
{
    return dropped ? QStringLiteral("Use this filter again") : QStringLiteral("Ignore this filter");
}

} // namespace

FilterChip::FilterChip(const Chip &chip, bool dropped, QWidget *parent)
    : QAbstractButton(parent), m_chip(chip), m_dropped(dropped)
{
    setText(chip.label);
    setToolTip(helpFor(dropped));
    setCursor(Qt::PointingHandCursor);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setFocusPolicy(Qt::TabFocus);
    Appearance::shared().follow(this, &m_dark);
}

void FilterChip::setDropped(bool dropped)
{
    if (dropped == m_dropped)
        return;
    m_dropped = dropped;
    setToolTip(helpFor(dropped));
    update();
}

QSize FilterChip::sizeHint() const
{
    const QFontMetricsF label(labelFont(false));
    const qreal width = 2 * kPadX + Symbols::boxSize(kSymbolPoints) + kGap + label.horizontalAdvance(m_chip.label) +
                        kGap + Symbols::boxSize(kMarkPoints);
    const qreal height = std::max(label.height(), Symbols::boxSize(kSymbolPoints)) + 2 * kPadY;
    return {int(std::ceil(width)), int(std::ceil(height))};
}

QSize FilterChip::minimumSizeHint() const
{
    return sizeHint();
}

void FilterChip::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush((m_dropped ? Theme::well : Theme::marker).resolve(m_dark));
    p.drawRoundedRect(QRectF(rect()), kRadius, kRadius);

    const QColor ink = (m_dropped ? Theme::ink3 : Theme::markerInk).resolve(m_dark);
    const qreal mid = height() / 2.0;
    qreal x = kPadX;
    const qreal symbolSide = Symbols::boxSize(kSymbolPoints);
    Symbols::draw(p, QRectF(x, mid - symbolSide / 2, symbolSide, symbolSide), m_chip.symbol, kSymbolPoints, ink,
                  QFont::DemiBold);
    x += symbolSide + kGap;

    const QFont font = labelFont(m_dropped);
    const qreal labelWidth = QFontMetricsF(font).horizontalAdvance(m_chip.label);
    p.setPen(ink);
    p.setFont(font);
    p.drawText(QRectF(x, 0, labelWidth + 1, height()), Qt::AlignLeft | Qt::AlignVCenter, m_chip.label);
    x += labelWidth + kGap;

    const qreal markSide = Symbols::boxSize(kMarkPoints);
    Symbols::draw(p, QRectF(x, mid - markSide / 2, markSide, markSide),
                  m_dropped ? QStringLiteral("plus") : QStringLiteral("xmark"), kMarkPoints, ink,
                  m_dropped ? QFont::Normal : QFont::Bold);
    if (hasFocus())
        FocusRing::draw(p, QRectF(rect()), kRadius, m_dark, true);
}
