#include "pillbutton.h"

#include "focusring.h"

#include "theme/appearance.h"
#include "theme/symbols.h"
#include "theme/theme.h"

#include <cmath>
#include <QEnterEvent>
#include <QFocusEvent>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

namespace {

constexpr qreal kFontSize = 12.5;
constexpr qreal kGap = 6;
constexpr qreal kPadX = 13;
constexpr qreal kPadY = 7;
constexpr qreal kDisabledOpacity = 0.5;

QFont titleFont()
{
    return Theme::font(kFontSize, QFont::DemiBold);
}

QPainterPath capsule(const QRectF &r)
{
    QPainterPath path;
    const qreal radius = r.height() / 2;
    path.addRoundedRect(r, radius, radius);
    return path;
}

} // namespace

PillButton::PillButton(const QString &title, std::optional<QString> symbol, bool prominent,
                       bool danger, QWidget *parent)
    : QAbstractButton(parent), m_symbol(std::move(symbol)), m_prominent(prominent), m_danger(danger)
{
    setText(title);
    setFont(titleFont());
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    // Tab reaches it; a click does not take focus away from the search field.
    setFocusPolicy(Qt::TabFocus);
    setAttribute(Qt::WA_Hover);
    Appearance::shared().follow(this, &m_dark);
}

void PillButton::setSymbol(std::optional<QString> symbol)
{
    if (m_symbol == symbol)
        return;
    m_symbol = std::move(symbol);
    changed();
}

void PillButton::setProminent(bool prominent)
{
    if (m_prominent == prominent)
        return;
    m_prominent = prominent;
    update();
}

void PillButton::setDanger(bool danger)
{
    if (m_danger == danger)
        return;
    m_danger = danger;
    update();
}

QSizeF PillButton::contentSize() const
{
    const QFontMetricsF fm(font());
    qreal width = fm.horizontalAdvance(text());
    qreal height = fm.height();
    if (m_symbol) {
        const qreal box = Symbols::boxSize(kFontSize);
        width += box + kGap;
        height = std::max(height, box);
    }
    return {width, height};
}

QSize PillButton::sizeHint() const
{
    const QSizeF content = contentSize();
    return {int(std::ceil(content.width() + 2 * kPadX)),
            int(std::ceil(content.height() + 2 * kPadY))};
}

QSize PillButton::minimumSizeHint() const
{
    return sizeHint();
}

PillButton::Geometry PillButton::geometryIn(const QRectF &bounds) const
{
    const QFontMetricsF fm(font());
    const QSizeF content = contentSize();
    const qreal left = bounds.center().x() - content.width() / 2;
    const qreal midY = bounds.center().y();
    Geometry g;
    qreal x = left;
    if (m_symbol) {
        const qreal box = Symbols::boxSize(kFontSize);
        g.symbol = QRectF(x, midY - box / 2, box, box);
        x += box + kGap;
    }
    g.title = QRectF(x, midY - fm.height() / 2, fm.horizontalAdvance(text()), fm.height());
    g.baseline = g.title.top() + fm.ascent();
    return g;
}

int PillButton::firstBaseline() const
{
    return int(std::lround(geometryIn(QRectF(QPointF(0, 0), QSizeF(sizeHint()))).baseline));
}

QRectF PillButton::symbolRect() const
{
    return geometryIn(rect()).symbol;
}

QRectF PillButton::titleRect() const
{
    return geometryIn(rect()).title;
}

void PillButton::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    if (!isEnabled())
        p.setOpacity(kDisabledOpacity);

    QColor textColor;
    QColor fill;
    std::optional<QColor> outline;
    if (m_prominent) {
        fill = (m_danger ? Theme::danger : Theme::marker).resolve(m_dark);
        textColor = m_danger ? QColor(Qt::white) : Theme::markerInk.resolve(m_dark);
    } else {
        fill = Theme::surface.resolve(m_dark);
        textColor = (m_danger ? Theme::danger : Theme::ink).resolve(m_dark);
        outline = Theme::line.resolve(m_dark);
    }

    const QRectF bounds = QRectF(rect());
    const QPainterPath shape = capsule(bounds);
    p.fillPath(shape, fill);

    // Hover and press shade the fill: towards the text colour on a plain pill,
    // towards white (dark) or black (light) on a filled one.
    const bool active = isEnabled() && (m_hovered || isDown());
    if (active) {
        QColor shade = m_prominent ? QColor(m_dark ? Qt::white : Qt::black) : textColor;
        const qreal strength = m_prominent ? (m_dark ? 0.12 : 0.08) : 0.05;
        shade.setAlphaF(float(isDown() ? strength * 2 : strength));
        p.fillPath(shape, shade);
    }
    if (outline) {
        // One point, inside the capsule.
        p.setPen(QPen(*outline, 1));
        p.setBrush(Qt::NoBrush);
        p.drawPath(capsule(bounds.adjusted(0.5, 0.5, -0.5, -0.5)));
    }
    if (m_keyboardFocus && hasFocus())
        FocusRing::draw(p, bounds, bounds.height() / 2, m_dark, m_prominent);

    const Geometry g = geometryIn(bounds);
    if (m_symbol)
        Symbols::draw(p, g.symbol, *m_symbol, kFontSize, textColor, QFont::DemiBold);
    p.setFont(font());
    p.setPen(textColor);
    p.drawText(QPointF(g.title.left(), g.baseline), text());
}

bool PillButton::hitButton(const QPoint &pos) const
{
    return capsule(QRectF(rect())).contains(QPointF(pos));
}

void PillButton::enterEvent(QEnterEvent *event)
{
    m_hovered = true;
    update();
    QAbstractButton::enterEvent(event);
}

void PillButton::leaveEvent(QEvent *event)
{
    m_hovered = false;
    update();
    QAbstractButton::leaveEvent(event);
}

void PillButton::focusInEvent(QFocusEvent *event)
{
    const Qt::FocusReason reason = event->reason();
    m_keyboardFocus = reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason ||
                      reason == Qt::ShortcutFocusReason;
    QAbstractButton::focusInEvent(event);
}

void PillButton::focusOutEvent(QFocusEvent *event)
{
    m_keyboardFocus = false;
    QAbstractButton::focusOutEvent(event);
}

void PillButton::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
        changed();
    QAbstractButton::changeEvent(event);
}

void PillButton::changed()
{
    updateGeometry();
    update();
}
