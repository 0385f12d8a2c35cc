#include "siderow.h"

#include "components/focusring.h"

#include "theme/appearance.h"
#include "theme/symbols.h"
#include "theme/theme.h"

#include <cmath>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

namespace {

constexpr qreal kSymbolPoints = 13;
constexpr qreal kSymbolWidth = 18;
constexpr qreal kTitlePoints = 13;
constexpr qreal kBadgePoints = 10.5;
constexpr qreal kGap = 9;
constexpr qreal kMinSpacer = 4;
constexpr qreal kPadX = 10;
constexpr qreal kPadY = 6;
constexpr qreal kRadius = 8;

QFont titleFont(bool active)
{
    return Theme::font(kTitlePoints, active ? QFont::DemiBold : QFont::Normal);
}

QFont badgeFont(bool strong)
{
    return Theme::font(kBadgePoints, strong ? QFont::DemiBold : QFont::Normal, Theme::Design::monospaced);
}

} // namespace

SideRow::SideRow(const QString &symbol, const QString &title, const Route &route,
                 std::optional<ThemeColor> tint, bool strong, QWidget *parent)
    : QAbstractButton(parent), m_symbol(symbol), m_route(route), m_tint(tint), m_strong(strong)
{
    setText(title);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    // A click must not pull the focus out of the search field or the file list;
    // the keyboard reaches the rows through the sidebar, one focusable list.
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_Hover);
    setCursor(Qt::PointingHandCursor);
    Appearance::shared().follow(this, &m_dark);
}

bool SideRow::activeFor(const Route &row, const Route &shown, const QString &query)
{
    return row == shown && query.isEmpty();
}

void SideRow::setBadge(const std::optional<QString> &badge)
{
    if (m_badge == badge)
        return;
    m_badge = badge;
    update();
}

void SideRow::setFocusMark(bool mark)
{
    if (m_focusMark == mark)
        return;
    m_focusMark = mark;
    update();
}

void SideRow::setActive(bool active)
{
    if (m_active == active)
        return;
    m_active = active;
    update();
}

QSize SideRow::sizeHint() const
{
    // Measured with the semibold title, so activating a row never changes its height or width.
    const QFontMetricsF fm(titleFont(true));
    const qreal content = std::max(fm.height(), Symbols::boxSize(kSymbolPoints));
    qreal width = kPadX + kSymbolWidth + kGap + fm.horizontalAdvance(text()) + kMinSpacer + kPadX;
    if (m_badge)
        width += QFontMetricsF(badgeFont(m_strong)).horizontalAdvance(*m_badge);
    return {int(std::ceil(width)), int(std::ceil(content + 2 * kPadY))};
}

QSize SideRow::minimumSizeHint() const
{
    return {int(std::ceil(2 * kPadX + kSymbolWidth)), sizeHint().height()};
}

void SideRow::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    const QRectF bounds = QRectF(rect());

    std::optional<QColor> fill;
    if (m_active)
        fill = Theme::active.resolve(m_dark);
    else if (m_hovered || isDown())
        fill = Theme::line.resolve(m_dark);
    if (fill) {
        QPainterPath shape;
        shape.addRoundedRect(bounds, kRadius, kRadius);
        p.fillPath(shape, *fill);
    }

    const qreal midY = bounds.center().y();
    const QColor ink = Theme::ink.resolve(m_dark);
    QColor symbolColor = Theme::ink2.resolve(m_dark);
    if (m_active)
        symbolColor = ink;
    else if (m_tint)
        symbolColor = m_tint->resolve(m_dark);
    const qreal box = Symbols::boxSize(kSymbolPoints);
    const QRectF symbolFrame(kPadX, midY - box / 2, kSymbolWidth, box);
    const QRectF symbolBox(symbolFrame.center().x() - box / 2, symbolFrame.top(), box, box);
    Symbols::draw(p, symbolBox, m_symbol, kSymbolPoints, symbolColor, QFont::Medium);

    qreal right = bounds.right() - kPadX;
    if (m_badge) {
        const QFont font = badgeFont(m_strong);
        const QFontMetricsF fm(font);
        const qreal width = fm.horizontalAdvance(*m_badge);
        p.setFont(font);
        p.setPen(m_strong ? Theme::good.resolve(m_dark) : Theme::ink3.resolve(m_dark));
        p.drawText(QPointF(right - width, midY - fm.height() / 2 + fm.ascent()), *m_badge);
        right -= width + kMinSpacer;
    }

    const QFont font = titleFont(m_active);
    const QFontMetricsF fm(font);
    const qreal left = symbolFrame.right() + kGap;
    p.setFont(font);
    p.setPen(ink);
    p.drawText(QPointF(left, midY - fm.height() / 2 + fm.ascent()),
               fm.elidedText(text(), Qt::ElideRight, std::max(0.0, right - left)));
    if (m_focusMark)
        FocusRing::draw(p, bounds, kRadius, m_dark, fill.has_value());
}

void SideRow::enterEvent(QEnterEvent *event)
{
    m_hovered = true;
    update();
    QAbstractButton::enterEvent(event);
}

void SideRow::leaveEvent(QEvent *event)
{
    m_hovered = false;
    update();
    QAbstractButton::leaveEvent(event);
}
