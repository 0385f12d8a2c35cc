#include "filelistview.h"

#include "components/focusring.h"
#include "fileinteractions.h"
#include "filelistdelegate.h"
#include "pages/filelistmodel.h"
#include "state/appstate.h"
#include "theme/appearance.h"
#include "theme/theme.h"
#include "thumbs.h"

#include <cmath>
#include <QAccessible>
#include <QApplication>
#include <QContextMenuEvent>
#include <QEasingCurve>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPaintEvent>
#include <QScrollBar>
#include <QVariantAnimation>

namespace {

// The largest picture a drag carries under the pointer.
constexpr int kDragPicture = 96;

} // namespace

FileListView::FileListView(FileListModel &model, FileListDelegate &delegate, const FileListLayout &layout,
                           Thumbs &thumbs, AppState &state, QWidget *parent)
    : QAbstractScrollArea(parent), m_model(model), m_thumbs(thumbs), m_state(state), m_delegate(&delegate),
      m_hoverFade(new QVariantAnimation(this)), m_scroll(new QVariantAnimation(this))
{
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    viewport()->setMouseTracking(true);
    viewport()->setAutoFillBackground(false);
    verticalScrollBar()->setSingleStep(40);
    // A page's file view: the keyboard rests here, and its keys are the file keys.
    setFocusPolicy(Qt::StrongFocus);
    setProperty("fileView", true);
    m_dark = Appearance::shared().isDark();
    m_delegate->setDark(m_dark);
    setFlow(layout);

    // One curve drives both: the cell entered fades in as the one left fades out.
    m_hoverFade->setDuration(120);
    m_hoverFade->setEasingCurve(QEasingCurve::OutCubic);
    m_hoverFade->setStartValue(0.0);
    m_hoverFade->setEndValue(1.0);
    connect(m_hoverFade, &QVariantAnimation::valueChanged, this, [this](const QVariant &value) {
        m_hoverOpacity = value.toReal();
        viewport()->update();
    });
    connect(m_hoverFade, &QVariantAnimation::finished, this, [this]() { m_leaving = -1; });
    m_scroll->setDuration(150);
    m_scroll->setEasingCurve(QEasingCurve::OutCubic);
    connect(m_scroll, &QVariantAnimation::valueChanged, this,
            [this](const QVariant &value) { verticalScrollBar()->setValue(value.toInt()); });

    connect(&m_model, &QAbstractItemModel::modelReset, this, &FileListView::reset);
    // Whichever picture arrived, a repaint of what is in view picks it up;
    // the updates of one event-loop pass are merged into one paint.
    connect(&m_thumbs, &Thumbs::loaded, viewport(), qOverload<>(&QWidget::update));
    connect(&m_state, &AppState::selectionChanged, viewport(), qOverload<>(&QWidget::update));
    connect(&m_state, &AppState::anchorChanged, this, &FileListView::announceAnchor);
    connect(&Appearance::shared(), &Appearance::changed, this, &FileListView::setDark);
}

FileListView::~FileListView() = default;

void FileListView::setDelegate(FileListDelegate *delegate)
{
    if (delegate == m_delegate)
        return;
    m_delegate = delegate;
    m_delegate->setDark(m_dark);
    m_hover = -1;
    m_leaving = -1;
    m_inView.clear();
    relayout();
    viewport()->update();
}

void FileListView::setFlow(const FileListLayout &layout)
{
    m_layout = layout;
    setVerticalScrollBarPolicy(layout.scrolls ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
    if (!layout.scrolls) {
        QSizePolicy policy(QSizePolicy::Expanding, QSizePolicy::Preferred);
        policy.setHeightForWidth(true);
        setSizePolicy(policy);
    }
    relayout();
    viewport()->update();
}

void FileListView::setHeader(QWidget *header)
{
    delete m_header.data();
    m_header = header;
    if (header) {
        header->setParent(viewport());
        header->installEventFilter(this);
        header->show();
    }
    relayout();
}

void FileListView::setDark(bool dark)
{
    m_dark = dark;
    m_delegate->setDark(dark);
    viewport()->update();
}

const QSet<QByteArray> &FileListView::selection() const
{
    return m_state.selection();
}

std::optional<QByteArray> FileListView::anchor() const
{
    return m_state.anchor();
}

void FileListView::reset()
{
    m_hover = -1;
    m_leaving = -1;
    m_pressRow = -1;
    m_inView.clear();
    relayout();
    viewport()->update();
}

void FileListView::announceAnchor()
{
    // A screen reader follows the keyboard from file to file.
    if (hasFocus() && m_state.anchor())
        announceRow(m_model.rowOf(*m_state.anchor()));
}

void FileListView::announceRow(int row)
{
    if (!QAccessible::isActive() || row < 0 || row >= m_model.rowCount())
        return;
    QAccessibleInterface *list = QAccessible::queryAccessibleInterface(this);
    if (!list)
        return;
    // The view's own widgets are the first children, the files after them.
    QAccessibleEvent focus(list, QAccessible::Focus);
    focus.setChild(list->childCount() - m_model.rowCount() + row);
    QAccessible::updateAccessibility(&focus);
}

// Layout ------------------------------------------------------------------

qreal FileListView::headerHeight(qreal width) const
{
    if (!m_header)
        return 0;
    const int inner = std::max(0, int(width) - int(2 * m_layout.sideMargin));
    return m_header->hasHeightForWidth() ? m_header->heightForWidth(inner)
                                         : m_header->sizeHint().height();
}

qreal FileListView::filesTop(qreal width) const
{
    const qreal header = headerHeight(width);
    return m_layout.topMargin + header + (header > 0 ? m_layout.headerSpacing : 0);
}

qreal FileListView::cellHeight(qreal width) const
{
    return m_delegate->cellHeight(m_layout.columnWidth(width));
}

qreal FileListView::stride(qreal width) const
{
    return cellHeight(width) + m_layout.spacing;
}

qreal FileListView::contentHeight(qreal width) const
{
    const int count = m_model.rowCount();
    if (count == 0)
        return m_layout.topMargin + headerHeight(width) + m_layout.bottomMargin;
    const int n = m_layout.columns(width);
    const int lines = (count + n - 1) / n;
    return filesTop(width) + lines * stride(width) - m_layout.spacing + m_layout.bottomMargin;
}

int FileListView::scrolled() const
{
    return verticalScrollBar()->value();
}

int FileListView::gridColumns() const
{
    return m_layout.columns(viewport()->width());
}

qreal FileListView::columnWidth() const
{
    return m_layout.columnWidth(viewport()->width());
}

QRectF FileListView::itemRect(int row) const
{
    const qreal width = viewport()->width();
    const int n = m_layout.columns(width);
    const qreal column = m_layout.columnWidth(width);
    const qreal y = filesTop(width) + (row / n) * stride(width) - scrolled();
    const qreal x = m_layout.filesLeft(width) + (row % n) * (column + m_layout.spacing);
    return {x, y, column, cellHeight(width)};
}

int FileListView::rowAt(const QPointF &point) const
{
    const int count = m_model.rowCount();
    if (count == 0)
        return -1;
    const qreal width = viewport()->width();
    const qreal y = point.y() + scrolled() - filesTop(width);
    if (y < 0)
        return -1;
    const qreal lineStride = stride(width);
    const int line = int(y / lineStride);
    if (y - line * lineStride > cellHeight(width))
        return -1;
    const qreal x = point.x() - m_layout.filesLeft(width);
    if (x < 0)
        return -1;
    const int n = m_layout.columns(width);
    const qreal column = m_layout.columnWidth(width);
    const qreal columnStride = column + m_layout.spacing;
    const int at = int(x / columnStride);
    if (at >= n || x - at * columnStride > column)
        return -1;
    const qint64 row = qint64(line) * n + at;
    return row < count ? int(row) : -1;
}

std::pair<int, int> FileListView::rowsInView() const
{
    const int count = m_model.rowCount();
    if (count == 0)
        return {0, -1};
    const qreal width = viewport()->width();
    const qreal top = scrolled() - filesTop(width);
    const qreal bottom = top + viewport()->height();
    if (bottom < 0)
        return {0, -1};
    const qreal lineStride = stride(width);
    const int firstLine = std::max(0, int(std::floor(top / lineStride)));
    const int lastLine = int(std::floor(bottom / lineStride));
    const int n = m_layout.columns(width);
    const int first = std::min(count, firstLine * n);
    const int last = int(std::min<qint64>(count - 1, qint64(lastLine + 1) * n - 1));
    return {first, last};
}

bool FileListView::hasHeightForWidth() const
{
    return !m_layout.scrolls;
}

int FileListView::heightForWidth(int width) const
{
    if (m_layout.scrolls)
        return QAbstractScrollArea::heightForWidth(width);
    if (m_model.rowCount() == 0 && !m_header)
        return 0;
    return int(std::ceil(contentHeight(width)));
}

QSize FileListView::sizeHint() const
{
    if (m_layout.scrolls)
        return QAbstractScrollArea::sizeHint();
    const int w = width() > 0 ? width() : 800;
    return {w, heightForWidth(w)};
}

QSize FileListView::minimumSizeHint() const
{
    if (m_layout.scrolls)
        return QAbstractScrollArea::minimumSizeHint();
    return {int(m_layout.minColumn + 2 * m_layout.sideMargin), 0};
}

void FileListView::relayout()
{
    if (!m_layout.scrolls)
        updateGeometry();
    const qreal width = viewport()->width();
    QScrollBar *bar = verticalScrollBar();
    bar->setPageStep(viewport()->height());
    const int content = int(std::ceil(contentHeight(width)));
    bar->setRange(0, m_layout.scrolls ? std::max(0, content - viewport()->height()) : 0);
    if (m_header) {
        m_header->setGeometry(int(m_layout.sideMargin), int(m_layout.topMargin) - bar->value(),
                              std::max(0, int(width - 2 * m_layout.sideMargin)),
                              int(headerHeight(width)));
    }
    if (width != m_lastWidth) {
        m_lastWidth = width;
        emit contentWidthChanged(width);
    }
}

void FileListView::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    relayout();
}

void FileListView::scrollContentsBy(int, int)
{
    if (m_header)
        m_header->move(int(m_layout.sideMargin), int(m_layout.topMargin) - scrolled());
    viewport()->update();
}

bool FileListView::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_header && event->type() == QEvent::LayoutRequest)
        relayout();
    return QAbstractScrollArea::eventFilter(watched, event);
}

void FileListView::wheelEvent(QWheelEvent *event)
{
    // A list that does not scroll leaves the wheel to the page around it.
    if (!m_layout.scrolls) {
        event->ignore();
        return;
    }
    QAbstractScrollArea::wheelEvent(event);
}

void FileListView::scrollToRow(int row, bool animated)
{
    if (row < 0 || row >= m_model.rowCount())
        return;
    const QRectF rect = itemRect(row);
    const int value = scrolled();
    int target = value;
    if (rect.top() < 0)
        target = value + int(std::floor(rect.top()));
    else if (rect.bottom() > viewport()->height())
        target = value + int(std::ceil(rect.bottom() - viewport()->height()));
    if (target == value)
        return;
    m_scroll->stop();
    if (!animated) {
        verticalScrollBar()->setValue(target);
        return;
    }
    m_scroll->setStartValue(value);
    m_scroll->setEndValue(target);
    m_scroll->start();
}

// Painting ------------------------------------------------------------------

void FileListView::paintEvent(QPaintEvent *event)
{
    QPainter p(viewport());
    // A list that does not scroll lies on its page's own background.
    if (m_layout.scrolls)
        p.fillRect(event->rect(), Theme::bg.resolve(m_dark));
    const auto [first, last] = rowsInView();
    const QRectF dirty = event->rect();
    const QSet<QByteArray> &selected = m_state.selection();
    for (int row = first; row <= last; ++row) {
        const QRectF rect = itemRect(row);
        if (!rect.intersects(dirty))
            continue;
        const FileItem &item = m_model.item(row);
        const qreal hover = row == m_hover     ? m_hoverOpacity
                            : row == m_leaving ? 1 - m_hoverOpacity
                                               : 0;
        m_delegate->paintCell(p, rect, item, selected.contains(item.path()), hover);
    }
    paintFocus(p, first, last);
    requestThumbnails(first, last);
}

void FileListView::paintFocus(QPainter &p, int first, int last) const
{
    // Focus from the keyboard shows on the anchor, or on the first file
    // while there is none; on the view's edge when it has no files. Only
    // the rows in view are looked at, so a long list paints as fast.
    if (!m_keyboardFocus || !hasFocus())
        return;
    const std::optional<QByteArray> anchor = m_state.anchor();
    int row = -1;
    if (!anchor) {
        row = m_model.rowCount() > 0 ? 0 : -1;
        if (row < 0 && m_layout.scrolls)
            FocusRing::draw(p, QRectF(viewport()->rect()).adjusted(2, 2, -2, -2), 8, m_dark);
    } else {
        for (int at = first; at <= last && row < 0; ++at)
            if (m_model.item(at).path() == *anchor)
                row = at;
    }
    if (row < 0)
        return;
    // A cell whose selection is a ring already wears it.
    if (m_delegate->selectionShowsFocus() && m_state.selection().contains(m_model.item(row).path()))
        return;
    FocusRing::draw(p, itemRect(row), m_delegate->focusRadius(), m_dark);
}

void FileListView::focusInEvent(QFocusEvent *event)
{
    m_keyboardFocus = FocusRing::fromKeyboard(event->reason());
    QAbstractScrollArea::focusInEvent(event);
    viewport()->update();
}

void FileListView::focusOutEvent(QFocusEvent *event)
{
    m_keyboardFocus = false;
    QAbstractScrollArea::focusOutEvent(event);
    viewport()->update();
}

void FileListView::requestThumbnails(int first, int last)
{
    // A cell asks once when it comes into view; one that fails is asked
    // again only after it left and came back.
    const double size = m_delegate->thumbSize();
    QSet<QByteArray> inView;
    inView.reserve(last - first + 1);
    for (int row = first; row <= last; ++row) {
        const QByteArray &path = m_model.item(row).path();
        inView.insert(path);
        if (!m_inView.contains(path))
            m_thumbs.request(path, size, this);
    }
    // Cards that scrolled away before their turn are not made at all.
    if (inView != m_inView)
        m_thumbs.retain(this, inView);
    m_inView = inView;
}

// Keyboard ------------------------------------------------------------------

int FileListView::currentRow() const
{
    if (const std::optional<QByteArray> anchor = m_state.anchor()) {
        const int row = m_model.rowOf(*anchor);
        if (row >= 0)
            return row;
    }
    return m_model.rowCount() > 0 ? 0 : -1;
}

int FileListView::menuRow() const
{
    const QSet<QByteArray> &selected = m_state.selection();
    if (m_state.anchor() && selected.contains(*m_state.anchor())) {
        const int anchor = m_model.rowOf(*m_state.anchor());
        if (anchor >= 0)
            return anchor;
    }
    for (int row = 0; row < m_model.rowCount(); ++row)
        if (selected.contains(m_model.item(row).path()))
            return row;
    return -1;
}

void FileListView::keyPressEvent(QKeyEvent *event)
{
    // Space ticks the keyboard's file where the cells are check boxes.
    const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    if (plain && event->key() == Qt::Key_Space) {
        const int row = currentRow();
        if (row >= 0 && m_delegate->checked(m_model.item(row))) {
            m_delegate->toggle(m_model.item(row));
            return;
        }
    }
    QAbstractScrollArea::keyPressEvent(event);
}

// Pointer -------------------------------------------------------------------

void FileListView::setHover(int row)
{
    if (!m_delegate->hovers())
        row = -1;
    if (row == m_hover)
        return;
    m_leaving = m_hover;
    m_hover = row;
    m_hoverFade->stop();
    m_hoverOpacity = 0;
    m_hoverFade->start();
    viewport()->update();
}

bool FileListView::viewportEvent(QEvent *event)
{
    if (event->type() == QEvent::Leave)
        setHover(-1);
    return QAbstractScrollArea::viewportEvent(event);
}

void FileListView::mousePressEvent(QMouseEvent *event)
{
    m_pressRow = -1;
    if (event->button() != Qt::LeftButton) {
        QAbstractScrollArea::mousePressEvent(event);
        return;
    }
    const int row = rowAt(event->position());
    if (row < 0) {
        // The clear layer behind the files: nothing selected, no anchor.
        m_state.setSelection({});
        m_state.setAnchor(std::nullopt);
        return;
    }
    const FileItem item = m_model.item(row);
    if (m_delegate->pressPart(itemRect(row), item, event->position(), row == m_hover))
        return;
    m_pressRow = row;
    m_pressPos = event->position().toPoint();
    FileInteractions::click(m_state, item, event->modifiers());
}

void FileListView::mouseMoveEvent(QMouseEvent *event)
{
    setHover(rowAt(event->position()));
    if (m_pressRow < 0 || !(event->buttons() & Qt::LeftButton))
        return;
    if ((event->position().toPoint() - m_pressPos).manhattanLength() <
        QApplication::startDragDistance())
        return;
    const int row = std::exchange(m_pressRow, -1);
    if (row >= m_model.rowCount())
        return;
    const FileItem item = m_model.item(row);
    QImage picture = m_thumbs.cached(item.path(), m_delegate->thumbSize());
    if (picture.width() > kDragPicture || picture.height() > kDragPicture)
        picture = picture.scaled(kDragPicture, kDragPicture, Qt::KeepAspectRatio,
                                 Qt::SmoothTransformation);
    FileInteractions::drag(this, item, QPixmap::fromImage(picture));
}

void FileListView::mouseReleaseEvent(QMouseEvent *event)
{
    const int pressed = std::exchange(m_pressRow, -1);
    if (event->button() == Qt::LeftButton && pressed >= 0 && rowAt(event->position()) == pressed) {
        emit released(pressed, event->modifiers());
        return;
    }
    QAbstractScrollArea::mouseReleaseEvent(event);
}

void FileListView::mouseDoubleClickEvent(QMouseEvent *event)
{
    const int row = rowAt(event->position());
    if (event->button() != Qt::LeftButton || row < 0)
        return;
    // Two quick clicks on a part with its own action (a tick) are two clicks, not an open.
    const FileItem item = m_model.item(row);
    if (m_delegate->pressPart(itemRect(row), item, event->position(), row == m_hover))
        return;
    FileInteractions::doubleClick(item);
}

void FileListView::contextMenuEvent(QContextMenuEvent *event)
{
    // From the keyboard the menu is the selection's, shown at its anchor.
    const bool keyboard = event->reason() == QContextMenuEvent::Keyboard;
    const int row = keyboard ? menuRow() : rowAt(viewport()->mapFrom(this, event->pos()));
    if (row < 0)
        return;
    QPoint at = event->globalPos();
    if (keyboard) {
        scrollToRow(row, false);
        at = viewport()->mapToGlobal(itemRect(row).center().toPoint());
    }
    QMenu *menu = FileInteractions::menu(m_model.item(row), m_state, this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(at);
}
