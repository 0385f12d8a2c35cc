#include "barbutton.h"

#include "components/focusring.h"

#include "theme/appearance.h"
#include "theme/symbols.h"
#include "theme/theme.h"

#include <QPainter>
#include <QPainterPath>

namespace {

constexpr qreal kSymbolPoints = 13;
constexpr qreal kRadius = 7;

} // namespace

BarButton::BarButton(const QString &symbol, const QString &help, QWidget *parent)
    : QAbstractButton(parent), m_symbol(symbol)
{
    setToolTip(help);
    setAccessibleName(help);
    setFixedSize(kWidth, kHeight);
    // Tab reaches it; clicking it leaves the focus where it was (the search field or the file list).
    setFocusPolicy(Qt::TabFocus);
    setAttribute(Qt::WA_Hover);
    Appearance::shared().follow(this, &m_dark);
}

void BarButton::setSymbol(const QString &symbol)
{
    if (m_symbol == symbol)
        return;
    m_symbol = symbol;
    update();
}

void BarButton::setOn(bool on)
{
    if (m_on == on)
        return;
    m_on = on;
    update();
}

QSize BarButton::sizeHint() const
{
    return {kWidth, kHeight};
}

void BarButton::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath shape;
    shape.addRoundedRect(QRectF(rect()), kRadius, kRadius);
    if (m_on)
        p.fillPath(shape, Theme::well.resolve(m_dark));
    // Hover and press lay a hairline tint over whatever fill there is.
    if (isEnabled() && (m_hovered || isDown())) {
        QColor shade = Theme::line.resolve(m_dark);
        if (isDown())
            shade.setAlphaF(std::min(1.0f, shade.alphaF() * 2));
        p.fillPath(shape, shade);
    }
    const bool lit = m_on || (isEnabled() && m_hovered);
    QColor ink = (lit ? Theme::ink : Theme::ink2).resolve(m_dark);
    if (!isEnabled())
        ink.setAlphaF(ink.alphaF() * 0.4f);
    const qreal box = Symbols::boxSize(kSymbolPoints);
    const QRectF frame(QRectF(rect()).center() - QPointF(box / 2, box / 2), QSizeF(box, box));
    Symbols::draw(p, frame, m_symbol, kSymbolPoints, ink, QFont::Medium);
    if (hasFocus())
        FocusRing::draw(p, QRectF(rect()), kRadius, m_dark, m_on);
}

void BarButton::enterEvent(QEnterEvent *event)
{
    m_hovered = true;
    update();
    QAbstractButton::enterEvent(event);
}

void BarButton::leaveEvent(QEvent *event)
{
    m_hovered = false;
    update();
    QAbstractButton::leaveEvent(event);
}
