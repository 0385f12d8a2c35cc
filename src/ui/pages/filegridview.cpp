#include "filegridview.h"

#include "filecard.h"
#include "filelistmodel.h"
#include "filerow.h"

#include "components/focusring.h"
#include "files/fileinteractions.h"
#include "files/files.h"
#include "files/thumbs.h"

#include "state/appstate.h"
#include "theme/theme.h"

#include <QAccessible>
#include <QApplication>
#include <QContextMenuEvent>
#include <QEasingCurve>
#include <QMenu>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QVariantAnimation>

#include <cmath>

FileGridView::FileGridView(FileListModel &model, Thumbs &thumbs, AppState &state, QWidget *parent)
    : QAbstractScrollArea(parent), m_model(model), m_thumbs(thumbs), m_state(state),
      m_card(new FileCard(thumbs, this)), m_row(new FileRow(thumbs, this)),
      m_hoverFade(new QVariantAnimation(this)), m_scroll(new QVariantAnimation(this))
{
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    viewport()->setMouseTracking(true);
    viewport()->setAutoFillBackground(false);
    verticalScrollBar()->setSingleStep(40);
    // The page's file view: the keyboard rests here, and its keys are the file keys.
    setFocusPolicy(Qt::StrongFocus);
    setProperty("fileView", true);

    // One curve drives both: the card entered fades in as the one left fades out.
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

    connect(&m_model, &QAbstractItemModel::modelReset, this, [this]() {
        m_hover = -1;
        m_leaving = -1;
        m_pressRow = -1;
        m_inView.clear();
        relayout();
        viewport()->update();
    });
    connect(&m_thumbs, &Thumbs::loaded, this, &FileGridView::thumbnailLoaded);
    connect(&m_state, &AppState::anchorChanged, this, &FileGridView::announceAnchor);
}

std::optional<QByteArray> FileGridView::anchor() const
{
    return m_state.anchor();
}

void FileGridView::announceAnchor()
{
    // A screen reader follows the keyboard from file to file.
    if (!QAccessible::isActive() || !hasFocus() || !m_state.anchor())
        return;
    const int row = m_model.rowOf(*m_state.anchor());
    QAccessibleInterface *list = QAccessible::queryAccessibleInterface(this);
    if (row < 0 || !list)
        return;
    QAccessibleEvent focus(list, QAccessible::Focus);
    focus.setChild(list->childCount() - m_model.rowCount() + row);
    QAccessible::updateAccessibility(&focus);
}

FileGridView::~FileGridView() = default;

void FileGridView::setHeader(QWidget *header)
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

void FileGridView::setListMode(bool listMode)
{
    if (listMode == m_listMode)
        return;
    m_listMode = listMode;
    m_hover = -1;
    m_leaving = -1;
    m_inView.clear();
    relayout();
    viewport()->update();
}

void FileGridView::setCardSize(double cardSize)
{
    if (cardSize == m_cardSize)
        return;
    m_cardSize = cardSize;
    relayout();
    viewport()->update();
}

void FileGridView::setSelection(const QSet<QByteArray> &selection)
{
    m_selection = selection;
    viewport()->update();
}

void FileGridView::setDark(bool dark)
{
    m_dark = dark;
    m_card->setDark(dark);
    m_row->setDark(dark);
    viewport()->update();
}

// Layout ------------------------------------------------------------------

qreal FileGridView::headerHeight() const
{
    if (!m_header)
        return 0;
    const int width = std::max(0, viewport()->width() - int(2 * kSideMargin));
    return m_header->hasHeightForWidth() ? m_header->heightForWidth(width) : m_header->sizeHint().height();
}

qreal FileGridView::filesTop() const
{
    const qreal header = headerHeight();
    return kTopMargin + header + (header > 0 ? kSpacing : 0);
}

int FileGridView::gridColumns() const
{
    if (m_listMode)
        return 1;
    const qreal width = viewport()->width() - 2 * kSideMargin;
    const int n = int(std::floor((width + kGridSpacing) / (m_cardSize + kGridSpacing)));
    return std::max(1, n);
}

qreal FileGridView::columnWidth() const
{
    const qreal width = std::max<qreal>(0, viewport()->width() - 2 * kSideMargin);
    if (m_listMode)
        return width;
    const int n = gridColumns();
    const qreal fitted = (width - (n - 1) * kGridSpacing) / n;
    return std::clamp<qreal>(fitted, std::min<qreal>(m_cardSize, width), m_cardSize * kMaxCardFactor);
}

qreal FileGridView::cellHeight() const
{
    return m_listMode ? FileRow::kHeight : FileCard::height(columnWidth());
}

qreal FileGridView::stride() const
{
    return cellHeight() + (m_listMode ? kRowSpacing : kGridSpacing);
}

qreal FileGridView::filesLeft() const
{
    // The grid is centred when its columns reach their widest.
    const int n = gridColumns();
    const qreal used = n * columnWidth() + (n - 1) * (m_listMode ? 0 : kGridSpacing);
    const qreal width = viewport()->width() - 2 * kSideMargin;
    return kSideMargin + std::max<qreal>(0, (width - used) / 2);
}

qreal FileGridView::contentHeight() const
{
    const int count = m_model.rowCount();
    const int lines = count == 0 ? 0 : (count + gridColumns() - 1) / gridColumns();
    const qreal files = lines == 0 ? 0 : lines * stride() - (stride() - cellHeight());
    const qreal top = count == 0 ? kTopMargin + headerHeight() : filesTop();
    return top + files + kBottomMargin;
}

QRectF FileGridView::itemRect(int row) const
{
    const int n = gridColumns();
    const int line = row / n;
    const int column = row % n;
    const qreal y = filesTop() + line * stride() - verticalScrollBar()->value();
    const qreal x = filesLeft() + column * (columnWidth() + kGridSpacing);
    return {x, y, columnWidth(), cellHeight()};
}

int FileGridView::rowAt(const QPointF &point) const
{
    const int count = m_model.rowCount();
    if (count == 0)
        return -1;
    const qreal y = point.y() + verticalScrollBar()->value() - filesTop();
    if (y < 0)
        return -1;
    const int line = int(y / stride());
    if (y - line * stride() > cellHeight())
        return -1;
    const qreal x = point.x() - filesLeft();
    if (x < 0)
        return -1;
    const qreal columnStride = columnWidth() + kGridSpacing;
    const int column = int(x / columnStride);
    if (column >= gridColumns() || x - column * columnStride > columnWidth())
        return -1;
    const qint64 row = qint64(line) * gridColumns() + column;
    return row < count ? int(row) : -1;
}

std::pair<int, int> FileGridView::rowsInView() const
{
    const int count = m_model.rowCount();
    if (count == 0)
        return {0, -1};
    const qreal top = verticalScrollBar()->value() - filesTop();
    const qreal bottom = top + viewport()->height();
    if (bottom < 0)
        return {0, -1};
    const int firstLine = std::max(0, int(std::floor(top / stride())));
    const int lastLine = int(std::floor(bottom / stride()));
    const int n = gridColumns();
    const int first = std::min(count, firstLine * n);
    const int last = int(std::min<qint64>(count - 1, qint64(lastLine + 1) * n - 1));
    return {first, last};
}

void FileGridView::relayout()
{
    const qreal width = viewport()->width();
    QScrollBar *bar = verticalScrollBar();
    bar->setPageStep(viewport()->height());
    bar->setRange(0, std::max(0, int(std::ceil(contentHeight())) - viewport()->height()));
    if (m_header) {
        m_header->setGeometry(int(kSideMargin), int(kTopMargin) - bar->value(),
                              std::max(0, int(width - 2 * kSideMargin)), int(headerHeight()));
    }
    if (width != m_lastWidth) {
        m_lastWidth = width;
        emit contentWidthChanged(width);
    }
}

void FileGridView::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    relayout();
}

void FileGridView::scrollContentsBy(int, int)
{
    if (m_header)
        m_header->move(int(kSideMargin), int(kTopMargin) - verticalScrollBar()->value());
    viewport()->update();
}

bool FileGridView::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_header && event->type() == QEvent::LayoutRequest)
        relayout();
    return QAbstractScrollArea::eventFilter(watched, event);
}

void FileGridView::scrollToRow(int row, bool animated)
{
    if (row < 0 || row >= m_model.rowCount())
        return;
    const QRectF rect = itemRect(row);
    const int value = verticalScrollBar()->value();
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

void FileGridView::paintEvent(QPaintEvent *event)
{
    QPainter p(viewport());
    p.fillRect(event->rect(), Theme::bg.resolve(m_dark));
    const auto [first, last] = rowsInView();
    const QRectF dirty = event->rect();
    for (int row = first; row <= last; ++row) {
        const QRectF rect = itemRect(row);
        if (!rect.intersects(dirty))
            continue;
        const FileItem &item = m_model.item(row);
        const bool selected = m_selection.contains(item.path());
        if (m_listMode)
            m_row->paintItem(p, rect, item, selected);
        else
            m_card->paintItem(p, rect, item, selected,
                              row == m_hover ? m_hoverOpacity : row == m_leaving ? 1 - m_hoverOpacity : 0);
    }
    paintFocus(p, first, last);
    requestThumbnails(first, last);
}

void FileGridView::paintFocus(QPainter &p, int first, int last) const
{
    // A selected file already wears the ring; focus from the keyboard shows
    // on the anchor when it is not selected, else on the view's edge. Only
    // the rows in view are looked at, so a long list paints as fast.
    if (!m_keyboardFocus || !hasFocus())
        return;
    const std::optional<QByteArray> anchor = m_state.anchor();
    if (!anchor) {
        FocusRing::draw(p, QRectF(viewport()->rect()).adjusted(2, 2, -2, -2), 8, m_dark);
        return;
    }
    if (m_selection.contains(*anchor))
        return;
    for (int row = first; row <= last; ++row) {
        if (m_model.item(row).path() == *anchor) {
            FocusRing::draw(p, itemRect(row), m_listMode ? 6 : FileCard::kCornerRadius, m_dark);
            return;
        }
    }
}

void FileGridView::focusInEvent(QFocusEvent *event)
{
    m_keyboardFocus = FocusRing::fromKeyboard(event->reason());
    QAbstractScrollArea::focusInEvent(event);
    viewport()->update();
}

void FileGridView::focusOutEvent(QFocusEvent *event)
{
    m_keyboardFocus = false;
    QAbstractScrollArea::focusOutEvent(event);
    viewport()->update();
}

int FileGridView::keyboardRow() const
{
    if (m_state.anchor()) {
        const int anchor = m_model.rowOf(*m_state.anchor());
        if (anchor >= 0 && m_selection.contains(*m_state.anchor()))
            return anchor;
    }
    for (int row = 0; row < m_model.rowCount(); ++row)
        if (m_selection.contains(m_model.item(row).path()))
            return row;
    return -1;
}

void FileGridView::requestThumbnails(int first, int last)
{
    // A card or row asks once when it comes into view, as a view of its own
    // would; one that fails is asked again only after it left and came back.
    const double size = m_listMode ? FileRow::kThumbSize : FileCard::kThumbSize;
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

void FileGridView::thumbnailLoaded(const QString &)
{
    // Whichever file it was, a repaint of what is in view picks it up; the
    // updates of one event-loop pass are merged into one paint.
    viewport()->update();
}

// Pointer -------------------------------------------------------------------

void FileGridView::setHover(int row)
{
    if (m_listMode)
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

bool FileGridView::viewportEvent(QEvent *event)
{
    if (event->type() == QEvent::Leave)
        setHover(-1);
    return QAbstractScrollArea::viewportEvent(event);
}

void FileGridView::mousePressEvent(QMouseEvent *event)
{
    const int row = rowAt(event->position());
    m_pressRow = -1;
    if (event->button() != Qt::LeftButton) {
        QAbstractScrollArea::mousePressEvent(event);
        return;
    }
    if (row < 0) {
        // The clear layer behind the files: nothing selected, no anchor.
        m_state.setSelection({});
        m_state.setAnchor(std::nullopt);
        return;
    }
    const FileItem item = m_model.item(row);
    if (!m_listMode && row == m_hover && FileCard::showsCopyButton(item) &&
        FileCard::copyButtonRect(itemRect(row)).contains(event->position())) {
        Files::copyText({item});
        return;
    }
    m_pressRow = row;
    m_pressPos = event->position().toPoint();
    FileInteractions::click(m_state, item, event->modifiers());
}

void FileGridView::mouseMoveEvent(QMouseEvent *event)
{
    setHover(rowAt(event->position()));
    if (m_pressRow < 0 || !(event->buttons() & Qt::LeftButton))
        return;
    if ((event->position().toPoint() - m_pressPos).manhattanLength() < QApplication::startDragDistance())
        return;
    const int row = m_pressRow;
    m_pressRow = -1;
    if (row >= m_model.rowCount())
        return;
    const FileItem item = m_model.item(row);
    const double size = m_listMode ? FileRow::kThumbSize : FileCard::kThumbSize;
    QImage picture = m_thumbs.cached(item.path(), size);
    if (!picture.isNull())
        picture = picture.scaled(96, 96, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    FileInteractions::drag(this, item, QPixmap::fromImage(picture));
}

void FileGridView::mouseReleaseEvent(QMouseEvent *event)
{
    m_pressRow = -1;
    QAbstractScrollArea::mouseReleaseEvent(event);
}

void FileGridView::mouseDoubleClickEvent(QMouseEvent *event)
{
    const int row = rowAt(event->position());
    if (event->button() != Qt::LeftButton || row < 0)
        return;
    FileInteractions::doubleClick(m_model.item(row));
}

void FileGridView::contextMenuEvent(QContextMenuEvent *event)
{
    // From the keyboard the menu is the selection's, shown at its anchor.
    const bool keyboard = event->reason() == QContextMenuEvent::Keyboard;
    const int row = keyboard ? keyboardRow() : rowAt(viewport()->mapFrom(this, event->pos()));
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
