#include "backbutton.h"

#include "theme/appearance.h"
#include "theme/symbols.h"
#include "theme/theme.h"

#include <QFontMetricsF>
#include <QPainter>

#include <cmath>

namespace {

constexpr qreal kSize = 12;
constexpr qreal kGap = 2;

} // namespace

BackButton::BackButton(const QString &title, QWidget *parent) : QAbstractButton(parent)
{
    setText(title);
    setFont(Theme::font(kSize, QFont::Medium));
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setFocusPolicy(Qt::TabFocus);
    setCursor(Qt::PointingHandCursor);
    Appearance::shared().follow(this, &m_dark);
}

QSize BackButton::sizeHint() const
{
    const QFontMetricsF fm(font());
    const qreal box = Symbols::boxSize(kSize);
    return {int(std::ceil(box + kGap + fm.horizontalAdvance(text()))), int(std::ceil(std::max(box, fm.height())))};
}

QSize BackButton::minimumSizeHint() const
{
    return sizeHint();
}

void BackButton::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    QColor color = Theme::ink2.resolve(m_dark);
    if (isDown())
        color = Theme::ink.resolve(m_dark);
    const qreal box = Symbols::boxSize(kSize);
    const QFontMetricsF fm(font());
    Symbols::draw(p, QRectF(0, (height() - box) / 2, box, box), u"chevron.left", kSize, color, QFont::Medium);
    p.setFont(font());
    p.setPen(color);
    p.drawText(QPointF(box + kGap, (height() - fm.height()) / 2 + fm.ascent()), text());
    if (hasFocus()) {
        p.setPen(QPen(Theme::ring.resolve(m_dark), 1.5));
        p.drawLine(QPointF(box + kGap, height() - 1), QPointF(width(), height() - 1));
    }
}
