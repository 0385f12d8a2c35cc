#include "recentsgrid.h"

#include "components/focusring.h"
#include "files/fileinteractions.h"
#include "files/files.h"
#include "files/thumbs.h"
#include "pages/filecard.h"
#include "state/appstate.h"
#include "theme/appearance.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QEasingCurve>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QVariantAnimation>

#include <cmath>

RecentsGrid::RecentsGrid(AppState &state, Thumbs &thumbs, QWidget *parent)
    : QWidget(parent), m_state(state), m_thumbs(thumbs), m_card(new FileCard(thumbs, this)),
      m_hoverFade(new QVariantAnimation(this))
{
    QSizePolicy policy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
    setMouseTracking(true);
    // The home page's file view: the keyboard rests here.
    setFocusPolicy(Qt::StrongFocus);
    setProperty("fileView", true);
    Appearance::shared().follow(this, &m_dark);
    m_card->setDark(m_dark);
    connect(&Appearance::shared(), &Appearance::changed, this, [this](bool dark) { m_card->setDark(dark); });

    // As in the file lists: the card entered fades in while the one left fades out.
    m_hoverFade->setDuration(120);
    m_hoverFade->setEasingCurve(QEasingCurve::OutCubic);
    m_hoverFade->setStartValue(0.0);
    m_hoverFade->setEndValue(1.0);
    connect(m_hoverFade, &QVariantAnimation::valueChanged, this, [this](const QVariant &value) {
        m_hoverOpacity = value.toReal();
        update();
    });
    connect(m_hoverFade, &QVariantAnimation::finished, this, [this]() { m_leaving = -1; });
    connect(&state, &AppState::selectionChanged, this, qOverload<>(&QWidget::update));
    connect(&thumbs, &Thumbs::loaded, this, &RecentsGrid::thumbnailLoaded);
}

RecentsGrid::~RecentsGrid() = default;

void RecentsGrid::setItems(const QList<FileItem> &items)
{
    if (items == m_items)
        return;
    m_items = items;
    m_hover = -1;
    m_leaving = -1;
    m_pressIndex = -1;
    for (const FileItem &item : std::as_const(m_items))
        m_thumbs.request(item.path(), FileCard::kThumbSize);
    updateGeometry();
    update();
}

int RecentsGrid::columnsFor(qreal width) const
{
    return std::max(1, int(std::floor((width + kSpacing) / (kMinWidth + kSpacing))));
}

qreal RecentsGrid::columnWidthFor(qreal width) const
{
    const int n = columnsFor(width);
    const qreal fitted = (width - (n - 1) * kSpacing) / n;
    return std::clamp<qreal>(fitted, std::min<qreal>(kMinWidth, std::max<qreal>(width, 1)), kMaxWidth);
}

int RecentsGrid::heightForWidth(int width) const
{
    if (m_items.isEmpty())
        return 0;
    const int n = columnsFor(width);
    const int lines = int((m_items.size() + n - 1) / n);
    const qreal cell = FileCard::height(columnWidthFor(width));
    return int(std::ceil(lines * cell + (lines - 1) * kSpacing));
}

QSize RecentsGrid::sizeHint() const
{
    const int w = width() > 0 ? width() : 800;
    return {w, heightForWidth(w)};
}

QSize RecentsGrid::minimumSizeHint() const
{
    return {int(kMinWidth), 0};
}

QRectF RecentsGrid::itemRect(int index) const
{
    const qreal w = width();
    const int n = columnsFor(w);
    const qreal column = columnWidthFor(w);
    const qreal used = n * column + (n - 1) * kSpacing;
    const qreal left = std::max<qreal>(0, (w - used) / 2);
    const qreal cell = FileCard::height(column);
    return {left + (index % n) * (column + kSpacing), (index / n) * (cell + kSpacing), column, cell};
}

int RecentsGrid::indexAt(const QPointF &point) const
{
    for (int i = 0; i < m_items.size(); ++i) {
        if (itemRect(i).contains(point))
            return i;
    }
    return -1;
}

void RecentsGrid::paintEvent(QPaintEvent *event)
{
    QPainter p(this);
    const QSet<QByteArray> &selection = m_state.selection();
    for (int i = 0; i < m_items.size(); ++i) {
        const QRectF rect = itemRect(i);
        if (!rect.intersects(event->rect()))
            continue;
        const FileItem &item = m_items[i];
        const qreal hover = i == m_hover ? m_hoverOpacity : i == m_leaving ? 1 - m_hoverOpacity : 0;
        m_card->paintCell(p, rect, item, selection.contains(item.path()), hover);
    }
    if (m_keyboardFocus && hasFocus() && selection.isEmpty() && !m_items.isEmpty()) {
        // Focus from the keyboard with nothing selected shows on the first card.
        FocusRing::draw(p, itemRect(0), FileCard::kCornerRadius, m_dark);
    }
}

bool RecentsGrid::isSelected(int index) const
{
    return index >= 0 && index < m_items.size() && m_state.selection().contains(m_items[index].path());
}

int RecentsGrid::keyboardIndex() const
{
    const QSet<QByteArray> &selection = m_state.selection();
    int first = -1;
    for (int i = 0; i < m_items.size(); ++i) {
        if (!selection.contains(m_items[i].path()))
            continue;
        if (m_state.anchor() == m_items[i].path())
            return i;
        if (first < 0)
            first = i;
    }
    return first;
}

void RecentsGrid::focusInEvent(QFocusEvent *event)
{
    m_keyboardFocus = FocusRing::fromKeyboard(event->reason());
    QWidget::focusInEvent(event);
    update();
}

void RecentsGrid::focusOutEvent(QFocusEvent *event)
{
    m_keyboardFocus = false;
    QWidget::focusOutEvent(event);
    update();
}

void RecentsGrid::thumbnailLoaded(const QString &key)
{
    for (const FileItem &item : std::as_const(m_items)) {
        if (key == Thumbs::key(item.path(), FileCard::kThumbSize)) {
            update();
            return;
        }
    }
}

void RecentsGrid::setHover(int index)
{
    if (index == m_hover)
        return;
    m_leaving = m_hover;
    m_hover = index;
    m_hoverFade->stop();
    m_hoverOpacity = 0;
    m_hoverFade->start();
    update();
}

void RecentsGrid::leaveEvent(QEvent *event)
{
    setHover(-1);
    QWidget::leaveEvent(event);
}

void RecentsGrid::mousePressEvent(QMouseEvent *event)
{
    m_pressIndex = -1;
    const int index = indexAt(event->position());
    if (event->button() != Qt::LeftButton || index < 0) {
        QWidget::mousePressEvent(event);
        return;
    }
    const FileItem item = m_items[index];
    if (index == m_hover && FileCard::showsCopyButton(item) &&
        FileCard::copyButtonRect(itemRect(index)).contains(event->position())) {
        Files::copyText({item});
        return;
    }
    m_pressIndex = index;
    m_pressPos = event->position().toPoint();
    FileInteractions::click(m_state, item, event->modifiers());
}

void RecentsGrid::mouseMoveEvent(QMouseEvent *event)
{
    setHover(indexAt(event->position()));
    if (m_pressIndex < 0 || !(event->buttons() & Qt::LeftButton))
        return;
    if ((event->position().toPoint() - m_pressPos).manhattanLength() < QApplication::startDragDistance())
        return;
    const int index = std::exchange(m_pressIndex, -1);
    if (index >= m_items.size())
        return;
    const FileItem item = m_items[index];
    QImage picture = m_thumbs.cached(item.path(), FileCard::kThumbSize);
    if (!picture.isNull())
        picture = picture.scaled(96, 96, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    FileInteractions::drag(this, item, QPixmap::fromImage(picture));
}

void RecentsGrid::mouseReleaseEvent(QMouseEvent *event)
{
    m_pressIndex = -1;
    QWidget::mouseReleaseEvent(event);
}

void RecentsGrid::mouseDoubleClickEvent(QMouseEvent *event)
{
    const int index = indexAt(event->position());
    if (event->button() != Qt::LeftButton || index < 0)
        return;
    FileInteractions::doubleClick(m_items[index]);
}

void RecentsGrid::contextMenuEvent(QContextMenuEvent *event)
{
    // From the keyboard the menu is the selection's, shown on its card.
    const bool keyboard = event->reason() == QContextMenuEvent::Keyboard;
    const int index = keyboard ? keyboardIndex() : indexAt(event->pos());
    if (index < 0)
        return;
    QMenu *menu = FileInteractions::menu(m_items[index], m_state, this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(keyboard ? mapToGlobal(itemRect(index).center().toPoint()) : event->globalPos());
}
