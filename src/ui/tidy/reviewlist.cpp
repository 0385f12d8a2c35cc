#include "reviewlist.h"

#include "components/focusring.h"
#include "files/fileinteractions.h"
#include "files/thumbs.h"
#include "pages/filerow.h"
#include "state/appstate.h"
#include "theme/appearance.h"
#include "theme/symbols.h"
#include "theme/theme.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>
#include <cmath>

ReviewList::ReviewList(Thumbs &thumbs, AppState &state, QWidget *parent)
    : QAbstractScrollArea(parent), m_thumbs(thumbs), m_state(state), m_row(new FileRow(thumbs, this))
{
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    viewport()->setAutoFillBackground(false);
    verticalScrollBar()->setSingleStep(40);
    // The review page's file view; Space ticks the focused file instead of previewing it.
    setFocusPolicy(Qt::StrongFocus);
    setProperty("fileView", true);
    setProperty("ownKeys", QStringLiteral("space"));
    setDark(Appearance::shared().isDark());
    connect(&Appearance::shared(), &Appearance::changed, this, &ReviewList::setDark);
    // Whichever picture arrived, one repaint of what is in view picks it up.
    connect(&thumbs, &Thumbs::loaded, viewport(), qOverload<>(&QWidget::update));
}

void ReviewList::setDark(bool dark)
{
    m_dark = dark;
    m_row->setDark(dark);
    viewport()->update();
}

void ReviewList::setHeader(QWidget *header)
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

void ReviewList::setItems(const QList<FileItem> &items)
{
    m_items = items;
    m_pressRow = -1;
    m_inView.clear();
    relayout();
    viewport()->update();
}

void ReviewList::setSpared(const QSet<QByteArray> &spared)
{
    m_spared = spared;
    viewport()->update();
}

void ReviewList::setSelection(const QSet<QByteArray> &selection)
{
    m_selection = selection;
    viewport()->update();
}

// Layout ------------------------------------------------------------------

qreal ReviewList::headerHeight() const
{
    if (!m_header)
        return 0;
    const int width = std::max(0, viewport()->width() - int(2 * kSideMargin));
    return m_header->hasHeightForWidth() ? m_header->heightForWidth(width) : m_header->sizeHint().height();
}

qreal ReviewList::rowsTop() const
{
    return kTopMargin + headerHeight() + kSpacing;
}

qreal ReviewList::stride() const
{
    return FileRow::kHeight + kRowSpacing;
}

qreal ReviewList::contentHeight() const
{
    if (m_items.isEmpty())
        return kTopMargin + headerHeight() + kBottomMargin;
    return rowsTop() + m_items.size() * stride() - kRowSpacing + kBottomMargin;
}

QRectF ReviewList::rowRect(int row) const
{
    const qreal y = rowsTop() + row * stride() - verticalScrollBar()->value();
    return {kSideMargin, y, std::max<qreal>(0, viewport()->width() - 2 * kSideMargin), FileRow::kHeight};
}

QRectF ReviewList::tickRect(int row) const
{
    const QRectF r = rowRect(row);
    return {r.left(), r.center().y() - kTick / 2, kTick, kTick};
}

int ReviewList::rowAt(const QPointF &point) const
{
    const qreal y = point.y() + verticalScrollBar()->value() - rowsTop();
    if (y < 0 || point.x() < kSideMargin || point.x() > viewport()->width() - kSideMargin)
        return -1;
    const int row = int(y / stride());
    if (row >= m_items.size() || y - row * stride() > FileRow::kHeight)
        return -1;
    return row;
}

std::pair<int, int> ReviewList::rowsInView() const
{
    if (m_items.isEmpty())
        return {0, -1};
    const qreal top = verticalScrollBar()->value() - rowsTop();
    const qreal bottom = top + viewport()->height();
    if (bottom < 0)
        return {0, -1};
    const int first = std::max(0, int(std::floor(top / stride())));
    const int last = std::min<int>(int(m_items.size()) - 1, int(std::floor(bottom / stride())));
    return {first, last};
}

void ReviewList::relayout()
{
    QScrollBar *bar = verticalScrollBar();
    bar->setPageStep(viewport()->height());
    bar->setRange(0, std::max(0, int(std::ceil(contentHeight())) - viewport()->height()));
    if (m_header)
        m_header->setGeometry(int(kSideMargin), int(kTopMargin) - bar->value(),
                              std::max(0, int(viewport()->width() - 2 * kSideMargin)), int(headerHeight()));
}

void ReviewList::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    relayout();
}

void ReviewList::scrollContentsBy(int, int)
{
    if (m_header)
        m_header->move(int(kSideMargin), int(kTopMargin) - verticalScrollBar()->value());
    viewport()->update();
}

bool ReviewList::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_header && event->type() == QEvent::LayoutRequest)
        relayout();
    return QAbstractScrollArea::eventFilter(watched, event);
}

void ReviewList::scrollToPath(const QByteArray &path)
{
    const auto at = std::find_if(m_items.cbegin(), m_items.cend(),
                                 [&](const FileItem &item) { return item.path() == path; });
    if (at == m_items.cend())
        return;
    const QRectF rect = rowRect(int(at - m_items.cbegin()));
    QScrollBar *bar = verticalScrollBar();
    if (rect.top() < 0)
        bar->setValue(bar->value() + int(std::floor(rect.top())));
    else if (rect.bottom() > viewport()->height())
        bar->setValue(bar->value() + int(std::ceil(rect.bottom() - viewport()->height())));
}

// Painting ------------------------------------------------------------------

void ReviewList::paintEvent(QPaintEvent *event)
{
    QPainter p(viewport());
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(event->rect(), Theme::bg.resolve(m_dark));
    const auto [first, last] = rowsInView();
    const QColor ticked = Theme::good.resolve(m_dark);
    const QColor unticked = Theme::ink3.resolve(m_dark);
    // The keyboard's row wears the ring: its tick is what Space changes.
    const int focusRow = m_keyboardFocus ? keyboardRow() : -1;
    for (int row = first; row <= last; ++row) {
        const QRectF rect = rowRect(row);
        if (!rect.intersects(event->rect()))
            continue;
        const FileItem &item = m_items.at(row);
        const bool spared = m_spared.contains(item.path());
        Symbols::draw(p, tickRect(row), spared ? u"circle" : u"checkmark.circle.fill", kTickSymbol,
                      spared ? unticked : ticked);
        const QRectF file = rect.adjusted(kTick + kTickGap, 0, 0, 0);
        m_row->paintCell(p, file, item, m_selection.contains(item.path()), 0);
        if (row == focusRow && hasFocus())
            FocusRing::draw(p, rect, 8, m_dark);
    }
    requestThumbnails(first, last);
}

void ReviewList::toggleTick(int row)
{
    if (row >= 0 && row < m_items.size())
        emit tickClicked(m_items.at(row).path());
}

int ReviewList::keyboardRow() const
{
    const std::optional<QByteArray> anchor = m_state.anchor();
    for (int row = 0; row < m_items.size(); ++row)
        if (anchor && m_items.at(row).path() == *anchor)
            return row;
    return m_items.isEmpty() ? -1 : 0;
}

void ReviewList::keyPressEvent(QKeyEvent *event)
{
    const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    if (plain && event->key() == Qt::Key_Space) {
        const int row = keyboardRow();
        if (row >= 0) {
            toggleTick(row);
            return;
        }
    }
    QAbstractScrollArea::keyPressEvent(event);
}

void ReviewList::focusInEvent(QFocusEvent *event)
{
    m_keyboardFocus = FocusRing::fromKeyboard(event->reason());
    QAbstractScrollArea::focusInEvent(event);
    viewport()->update();
}

void ReviewList::focusOutEvent(QFocusEvent *event)
{
    m_keyboardFocus = false;
    QAbstractScrollArea::focusOutEvent(event);
    viewport()->update();
}

void ReviewList::requestThumbnails(int first, int last)
{
    // Each row asks once when it comes into view, as the file lists do.
    QSet<QByteArray> inView;
    for (int row = first; row <= last; ++row) {
        const QByteArray &path = m_items.at(row).path();
        inView.insert(path);
        if (!m_inView.contains(path))
            m_thumbs.request(path, FileRow::kThumbSize);
    }
    m_inView = inView;
}

// Pointer -------------------------------------------------------------------

void ReviewList::mousePressEvent(QMouseEvent *event)
{
    m_pressRow = -1;
    if (event->button() != Qt::LeftButton) {
        QAbstractScrollArea::mousePressEvent(event);
        return;
    }
    const int row = rowAt(event->position());
    if (row < 0) {
        m_state.setSelection({});
        m_state.setAnchor(std::nullopt);
        return;
    }
    const FileItem item = m_items.at(row);
    if (tickRect(row).contains(event->position())) {
        emit tickClicked(item.path());
        return;
    }
    m_pressRow = row;
    m_pressPos = event->position().toPoint();
    FileInteractions::click(m_state, item, event->modifiers());
}

void ReviewList::mouseMoveEvent(QMouseEvent *event)
{
    if (m_pressRow < 0 || !(event->buttons() & Qt::LeftButton))
        return;
    if ((event->position().toPoint() - m_pressPos).manhattanLength() < QApplication::startDragDistance())
        return;
    const int row = m_pressRow;
    m_pressRow = -1;
    if (row >= m_items.size())
        return;
    const FileItem item = m_items.at(row);
    const QImage picture = m_thumbs.cached(item.path(), FileRow::kThumbSize);
    FileInteractions::drag(this, item, QPixmap::fromImage(picture));
}

void ReviewList::mouseReleaseEvent(QMouseEvent *event)
{
    m_pressRow = -1;
    QAbstractScrollArea::mouseReleaseEvent(event);
}

void ReviewList::mouseDoubleClickEvent(QMouseEvent *event)
{
    const int row = rowAt(event->position());
    if (event->button() != Qt::LeftButton || row < 0)
        return;
    // Two quick clicks on a tick are two clicks, not an open.
    if (tickRect(row).contains(event->position()))
        emit tickClicked(m_items.at(row).path());
    else
        FileInteractions::doubleClick(m_items.at(row));
}

void ReviewList::contextMenuEvent(QContextMenuEvent *event)
{
    // From the keyboard the menu is the selection's, shown on its row.
    const bool keyboard = event->reason() == QContextMenuEvent::Keyboard;
    const int row = keyboard ? keyboardRow() : rowAt(viewport()->mapFrom(this, event->pos()));
    if (row < 0)
        return;
    QMenu *menu = FileInteractions::menu(m_items.at(row), m_state, this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(keyboard ? viewport()->mapToGlobal(rowRect(row).center().toPoint()) : event->globalPos());
}
