#include "framestyle.h"

#include "theme.h"
#include "x11desktop.h"

#include <QAction>
#include <QGuiApplication>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>
#include <QStyleFactory>
#include <QStyleOption>
#include <QtGui/qguiapplication_platform.h>

#include <algorithm>
#include <cmath>

namespace {

constexpr int kMenuMargin = 5;
constexpr int kItemHeight = 26;
constexpr int kSeparatorHeight = 9;
constexpr int kItemPadX = 10;
constexpr int kCheckWidth = 18;
constexpr int kShortcutGap = 28;
constexpr int kTrailingRoom = 16;
constexpr int kThumbInset = 2;
constexpr int kThumbMinLength = 28;

// Menus are shaped by their see-through corners where a compositor draws
// them; an X server without one shows those pixels black, so there they stay square.
bool canBeTranslucent()
{
    auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!x11)
        return true;
    static const bool compositing = X11Desktop::compositing(x11->connection(), X11Desktop::defaultRoot(x11->connection()));
    return compositing;
}

QColor alpha(QColor color, qreal a)
{
    color.setAlphaF(float(color.alphaF() * a));
    return color;
}

QFont sectionFont(QFont font)
{
    font.setPointSizeF(font.pointSizeF() * 11 / 13);
    font.setWeight(QFont::DemiBold);
    return font;
}

void drawCheck(QPainter *p, const QRectF &box, const QColor &color)
{
    const qreal s = std::min(box.width(), box.height()) * 0.62;
    const QPointF c = box.center();
    QPainterPath tick;
    tick.moveTo(c.x() - s * 0.42, c.y() + s * 0.02);
    tick.lineTo(c.x() - s * 0.12, c.y() + s * 0.32);
    tick.lineTo(c.x() + s * 0.45, c.y() - s * 0.30);
    p->setPen(QPen(color, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p->setBrush(Qt::NoBrush);
    p->drawPath(tick);
}

void drawChevron(QPainter *p, const QRectF &box, const QColor &color)
{
    const QPointF c = box.center();
    QPainterPath v;
    v.moveTo(c.x() - 2, c.y() - 4);
    v.lineTo(c.x() + 2, c.y());
    v.lineTo(c.x() - 2, c.y() + 4);
    p->setPen(QPen(color, 1.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p->setBrush(Qt::NoBrush);
    p->drawPath(v);
}

} // namespace

FrameStyle::FrameStyle() : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion"))) {}

bool FrameStyle::isDestructive(const QMenu *menu, const QRect &rect)
{
    if (!menu)
        return false;
    const QAction *action = menu->actionAt(rect.center());
    return action && action->property("destructive").toBool();
}

void FrameStyle::polish(QWidget *widget)
{
    QProxyStyle::polish(widget);
    if (qobject_cast<QMenu *>(widget) && canBeTranslucent()) {
        widget->setAttribute(Qt::WA_TranslucentBackground);
        widget->setAttribute(Qt::WA_NoSystemBackground);
    }
}

void FrameStyle::unpolish(QWidget *widget)
{
    if (qobject_cast<QMenu *>(widget))
        widget->setAttribute(Qt::WA_TranslucentBackground, false);
    QProxyStyle::unpolish(widget);
}

int FrameStyle::pixelMetric(PixelMetric metric, const QStyleOption *option, const QWidget *widget) const
{
    switch (metric) {
    case PM_ScrollBarExtent:
        return kScrollBarExtent;
    case PM_ScrollBarSliderMin:
        return kThumbMinLength;
    case PM_MenuPanelWidth:
        return 1;
    case PM_MenuHMargin:
    case PM_MenuVMargin:
        return kMenuMargin - 1;
    case PM_SubMenuOverlap:
        return -kMenuMargin;
    case PM_MenuBarPanelWidth:
        return 0;
    case PM_MenuBarItemSpacing:
        return 2;
    case PM_MenuBarHMargin:
        return 6;
    case PM_MenuBarVMargin:
        return 0;
    case PM_ToolTipLabelFrameWidth:
        return 6;
    default:
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
}

int FrameStyle::styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
                          QStyleHintReturn *returnData) const
{
    switch (hint) {
    case SH_Menu_Scrollable:
        return 1;
    case SH_ScrollBar_ContextMenu:
        // Qt's own "Scroll here" menu is stock text nobody reaches for.
        return 0;
    case SH_ScrollBar_LeftClickAbsolutePosition:
        return 1;
    case SH_Menu_FlashTriggeredItem:
        return 0;
    default:
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
}

QSize FrameStyle::sizeFromContents(ContentsType type, const QStyleOption *option, const QSize &size,
                                   const QWidget *widget) const
{
    if (type == CT_MenuItem) {
        if (const auto *item = qstyleoption_cast<const QStyleOptionMenuItem *>(option)) {
            if (item->menuItemType == QStyleOptionMenuItem::Separator) {
                if (item->text.isEmpty())
                    return {size.width(), kSeparatorHeight};
                // A section title: a small caption over its entries.
                const QFontMetrics caption(sectionFont(item->font));
                return {caption.horizontalAdvance(item->text) + 2 * kItemPadX, caption.height() + 10};
            }
            const QFontMetrics fm(item->font);
            int width = fm.horizontalAdvance(item->text.section(u'\t', 0, 0)) + 2 * kItemPadX + kTrailingRoom;
            if (item->menuHasCheckableItems)
                width += kCheckWidth;
            if (item->text.contains(u'\t') || item->reservedShortcutWidth > 0)
                width += kShortcutGap;
            if (item->menuItemType == QStyleOptionMenuItem::SubMenu)
                width += kCheckWidth;
            return {width, std::max(kItemHeight, fm.height() + 8)};
        }
    }
    if (type == CT_MenuBarItem) {
        // As low as the stock bar: the sidebar below it must fit a window 800 high.
        const QFontMetrics fm(option->fontMetrics);
        return {size.width() + 2 * kItemPadX, fm.height() + 4};
    }
    return QProxyStyle::sizeFromContents(type, option, size, widget);
}

void FrameStyle::drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                               const QWidget *widget) const
{
    switch (element) {
    case PE_PanelMenu: {
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        const QColor fill = Theme::surface.resolve(m_dark);
        const QColor edge = Theme::line.resolve(m_dark);
        const QRectF box = QRectF(option->rect).adjusted(0.5, 0.5, -0.5, -0.5);
        const bool round = widget && widget->testAttribute(Qt::WA_TranslucentBackground);
        // Without a shadow of its own the edge carries the outline, a step above a rule.
        painter->setPen(QPen(alpha(edge, 1.8), 1));
        painter->setBrush(fill);
        if (round)
            painter->drawRoundedRect(box, kMenuRadius, kMenuRadius);
        else
            painter->drawRect(box);
        painter->restore();
        return;
    }
    case PE_FrameMenu:
        // The panel draws its own edge.
        return;
    case PE_PanelMenuBar:
        painter->fillRect(option->rect, Theme::bg.resolve(m_dark));
        return;
    case PE_PanelTipLabel: {
        painter->save();
        painter->fillRect(option->rect, Theme::surface.resolve(m_dark));
        painter->setPen(Theme::line.resolve(m_dark));
        painter->drawRect(QRectF(option->rect).adjusted(0.5, 0.5, -0.5, -0.5));
        painter->restore();
        return;
    }
    default:
        QProxyStyle::drawPrimitive(element, option, painter, widget);
    }
}

void FrameStyle::drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                             const QWidget *widget) const
{
    switch (element) {
    case CE_MenuItem:
        drawMenuItem(option, painter, widget);
        return;
    case CE_MenuEmptyArea:
    case CE_MenuHMargin:
    case CE_MenuVMargin:
        return;
    case CE_MenuBarEmptyArea:
        painter->fillRect(option->rect, Theme::bg.resolve(m_dark));
        return;
    case CE_MenuBarItem: {
        const auto *item = qstyleoption_cast<const QStyleOptionMenuItem *>(option);
        if (!item)
            break;
        painter->save();
        painter->fillRect(option->rect, Theme::bg.resolve(m_dark));
        const bool lit = (option->state & State_Selected) && (option->state & State_Enabled);
        if (lit) {
            painter->setRenderHint(QPainter::Antialiasing);
            painter->setPen(Qt::NoPen);
            painter->setBrush(Theme::well.resolve(m_dark));
            painter->drawRoundedRect(QRectF(option->rect).adjusted(0, 1, 0, -1), kItemRadius, kItemRadius);
        }
        painter->setPen(Theme::ink.resolve(m_dark));
        painter->setFont(item->font);
        const int mnemonic =
            styleHint(SH_UnderlineShortcut, option, widget) ? Qt::TextShowMnemonic : Qt::TextHideMnemonic;
        painter->drawText(option->rect, int(Qt::AlignCenter) | mnemonic | Qt::TextSingleLine, item->text);
        painter->restore();
        return;
    }
    default:
        break;
    }
    QProxyStyle::drawControl(element, option, painter, widget);
}

void FrameStyle::drawMenuItem(const QStyleOption *option, QPainter *painter, const QWidget *widget) const
{
    const auto *item = qstyleoption_cast<const QStyleOptionMenuItem *>(option);
    if (!item)
        return;
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    const QRectF rect(option->rect);
    if (item->menuItemType == QStyleOptionMenuItem::Separator && !item->text.isEmpty()) {
        painter->setFont(sectionFont(item->font));
        painter->setPen(Theme::ink3.resolve(m_dark));
        painter->drawText(rect.adjusted(kItemPadX, 4, -kItemPadX, 0), int(Qt::AlignLeft | Qt::AlignVCenter) | Qt::TextSingleLine,
                          item->text);
        painter->restore();
        return;
    }
    if (item->menuItemType == QStyleOptionMenuItem::Separator) {
        const qreal y = std::floor(rect.center().y()) + 0.5;
        painter->setPen(QPen(Theme::line.resolve(m_dark), 1));
        painter->drawLine(QPointF(rect.left() + kItemPadX, y), QPointF(rect.right() - kItemPadX, y));
        painter->restore();
        return;
    }
    const bool enabled = option->state & State_Enabled;
    const bool lit = enabled && (option->state & State_Selected);
    const bool destructive = isDestructive(qobject_cast<const QMenu *>(widget), option->rect);
    const ThemeColor &accent = destructive ? Theme::danger : Theme::marker;
    if (lit) {
        painter->setPen(Qt::NoPen);
        painter->setBrush(accent.resolve(m_dark));
        painter->drawRoundedRect(rect, kItemRadius, kItemRadius);
    }
    QColor ink = Theme::ink.resolve(m_dark);
    QColor faint = Theme::ink3.resolve(m_dark);
    if (!enabled) {
        ink = faint;
    } else if (lit) {
        ink = faint = Theme::markerInk.resolve(m_dark);
    } else if (destructive) {
        ink = Theme::danger.resolve(m_dark);
    }

    QRectF text = rect.adjusted(kItemPadX, 0, -kItemPadX, 0);
    if (item->menuHasCheckableItems) {
        if (item->checked)
            drawCheck(painter, QRectF(text.left() - 2, rect.top(), kCheckWidth, rect.height()), ink);
        text.setLeft(text.left() + kCheckWidth);
    }
    const QString title = item->text.section(u'\t', 0, 0);
    const QString keys = item->text.section(u'\t', 1);
    const int mnemonic = styleHint(SH_UnderlineShortcut, option, widget) ? Qt::TextShowMnemonic : Qt::TextHideMnemonic;
    painter->setFont(item->font);
    painter->setPen(ink);
    painter->drawText(text, int(Qt::AlignLeft | Qt::AlignVCenter) | Qt::TextSingleLine | mnemonic, title);
    if (!keys.isEmpty()) {
        painter->setPen(faint);
        painter->drawText(text, int(Qt::AlignRight | Qt::AlignVCenter) | Qt::TextSingleLine, keys);
    }
    if (item->menuItemType == QStyleOptionMenuItem::SubMenu)
        drawChevron(painter, QRectF(rect.right() - kCheckWidth, rect.top(), kCheckWidth - 4, rect.height()), faint);
    painter->restore();
}

void FrameStyle::drawComplexControl(ComplexControl control, const QStyleOptionComplex *option, QPainter *painter,
                                    const QWidget *widget) const
{
    if (control == CC_ScrollBar) {
        drawScrollBar(option, painter);
        return;
    }
    QProxyStyle::drawComplexControl(control, option, painter, widget);
}

void FrameStyle::drawScrollBar(const QStyleOptionComplex *option, QPainter *painter) const
{
    const auto *bar = qstyleoption_cast<const QStyleOptionSlider *>(option);
    if (!bar || bar->maximum <= bar->minimum)
        return;
    const QRect thumb = subControlRect(CC_ScrollBar, option, SC_ScrollBarSlider, nullptr);
    if (thumb.isEmpty())
        return;
    const bool pressed = (bar->state & State_Sunken) && bar->activeSubControls.testFlag(SC_ScrollBarSlider);
    const bool hovered = (bar->state & State_MouseOver);
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setPen(Qt::NoPen);
    // Quiet until the pointer comes near, as thin bars are on every desktop now.
    const qreal strength = pressed ? 0.62 : hovered ? 0.5 : 0.34;
    painter->setBrush(alpha(Theme::ink2.resolve(m_dark), strength));
    const bool across = bar->orientation == Qt::Horizontal;
    const QRectF shape = QRectF(thumb).adjusted(across ? 0 : kThumbInset, across ? kThumbInset : 0,
                                                across ? 0 : -kThumbInset, across ? -kThumbInset : 0);
    const qreal radius = std::min(shape.width(), shape.height()) / 2;
    painter->drawRoundedRect(shape, radius, radius);
    painter->restore();
}

QRect FrameStyle::subControlRect(ComplexControl control, const QStyleOptionComplex *option, SubControl sub,
                                 const QWidget *widget) const
{
    if (control != CC_ScrollBar)
        return QProxyStyle::subControlRect(control, option, sub, widget);
    const auto *bar = qstyleoption_cast<const QStyleOptionSlider *>(option);
    if (!bar)
        return {};
    const QRect all = option->rect;
    const bool across = bar->orientation == Qt::Horizontal;
    const int length = across ? all.width() : all.height();
    const int range = bar->maximum - bar->minimum;
    int thumbLength = length;
    if (range > 0) {
        const qint64 page = std::max(bar->pageStep, 1);
        thumbLength = int(qint64(length) * page / (qint64(range) + page));
        thumbLength = std::clamp(thumbLength, std::min(kThumbMinLength, length), length);
    }
    const int start = sliderPositionFromValue(bar->minimum, bar->maximum, bar->sliderPosition,
                                              length - thumbLength, bar->upsideDown);
    const auto span = [&](int from, int size) {
        return across ? QRect(all.x() + from, all.y(), size, all.height())
                      : QRect(all.x(), all.y() + from, all.width(), size);
    };
    switch (sub) {
    case SC_ScrollBarGroove:
        return all;
    case SC_ScrollBarSlider:
        return span(start, thumbLength);
    case SC_ScrollBarSubPage:
        return span(0, start);
    case SC_ScrollBarAddPage:
        return span(start + thumbLength, length - start - thumbLength);
    case SC_ScrollBarAddLine:
    case SC_ScrollBarSubLine:
    case SC_ScrollBarFirst:
    case SC_ScrollBarLast:
        return {};
    default:
        return QProxyStyle::subControlRect(control, option, sub, widget);
    }
}
