#include "sortmenubutton.h"

#include "components/focusring.h"

#include "state/appstate.h"
#include "theme/appearance.h"
#include "theme/symbols.h"
#include "theme/theme.h"

#include <QActionGroup>
#include <QFontMetricsF>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>

#include <cmath>

namespace {

constexpr qreal kSymbolPoints = 12;
constexpr qreal kGap = 5;
constexpr qreal kPadX = 6;
constexpr int kHeight = 26;
constexpr qreal kRadius = 7;
const QString kSymbol = QStringLiteral("arrow.up.arrow.down");

QFont labelFont()
{
    return Theme::font(12, QFont::Medium);
}

} // namespace

SortMenuButton::SortMenuButton(AppState &state, QWidget *parent)
    : QToolButton(parent), m_state(state), m_group(new QActionGroup(this))
{
    setPopupMode(QToolButton::InstantPopup);
    setAutoRaise(true);
    setFocusPolicy(Qt::TabFocus);
    setAccessibleName(QStringLiteral("Sort by"));
    setCursor(Qt::PointingHandCursor);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setToolTip(QStringLiteral("Sort by"));
    Appearance::shared().follow(this, &m_dark);

    auto *menu = new QMenu(this);
    // A popup is a window of its own: without this it keeps the platform's colours.
    menu->setAttribute(Qt::WA_WindowPropagation);
    menu->addSection(QStringLiteral("Sort by"));
    m_group->setExclusive(true);
    for (const SortKey::Value value : SortKey::all) {
        const SortKey key(value);
        QAction *action = menu->addAction(key.rawValue());
        action->setCheckable(true);
        action->setData(int(value));
        m_group->addAction(action);
        connect(action, &QAction::triggered, this, [this, key]() { m_state.setSort(key); });
    }
    setMenu(menu);
    connect(&state, &AppState::sortChanged, this, &SortMenuButton::follow);
    follow();
}

QList<QAction *> SortMenuButton::entries() const
{
    return m_group->actions();
}

void SortMenuButton::follow()
{
    for (QAction *action : m_group->actions())
        action->setChecked(action->data().toInt() == int(m_state.sort().value()));
    setText(m_state.sort().rawValue());
    updateGeometry();
    update();
}

QSize SortMenuButton::sizeHint() const
{
    const qreal width = 2 * kPadX + Symbols::boxSize(kSymbolPoints) + kGap +
                        QFontMetricsF(labelFont()).horizontalAdvance(text());
    return {int(std::ceil(width)), kHeight};
}

QSize SortMenuButton::minimumSizeHint() const
{
    return sizeHint();
}

void SortMenuButton::enterEvent(QEnterEvent *event)
{
    QToolButton::enterEvent(event);
    m_hovered = true;
    update();
}

void SortMenuButton::leaveEvent(QEvent *event)
{
    QToolButton::leaveEvent(event);
    m_hovered = false;
    update();
}

void SortMenuButton::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    if (m_hovered || isDown()) {
        p.setPen(Qt::NoPen);
        p.setBrush(Theme::well.resolve(m_dark));
        p.drawRoundedRect(QRectF(rect()), kRadius, kRadius);
    }
    const QColor ink = Theme::ink2.resolve(m_dark);
    const qreal side = Symbols::boxSize(kSymbolPoints);
    Symbols::draw(p, QRectF(kPadX, (height() - side) / 2, side, side), kSymbol, kSymbolPoints, ink, QFont::Medium);
    p.setPen(Theme::ink.resolve(m_dark));
    p.setFont(labelFont());
    p.drawText(QRectF(kPadX + side + kGap, 0, width() - kPadX - side - kGap, height()),
               Qt::AlignLeft | Qt::AlignVCenter, text());
    if (hasFocus())
        FocusRing::draw(p, QRectF(rect()), kRadius, m_dark, true);
}

void SortMenuButton::keyPressEvent(QKeyEvent *event)
{
    // Space opens the menu as a tool button does; Return and ↓ open it as a menu button would.
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Down:
        if (event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier) {
            showMenu();
            return;
        }
        break;
    default:
        break;
    }
    QToolButton::keyPressEvent(event);
}
