#include "filespage.h"

#include "filecard.h"
#include "filelistmodel.h"
#include "filerow.h"
#include "files/filelistview.h"
#include "files/thumbs.h"

#include "components/emptystate.h"
#include "components/pageheader.h"
#include "state/appstate.h"

#include <QScrollBar>
#include <QVBoxLayout>

#include <cmath>

FilesPage::FilesPage(const QString &title, const QString &subtitle, const QList<FileItem> &items,
                     const QString &emptySymbol, const QString &emptyTitle, const QString &emptyDetail,
                     QWidget *parent)
    : FilesPage(AppState::shared(), Thumbs::shared(), parent)
{
    setTitle(title);
    setSubtitle(subtitle);
    setEmpty(emptySymbol, emptyTitle, emptyDetail);
    setItems(items);
}

FilesPage::FilesPage(AppState &state, Thumbs &thumbs, QWidget *parent)
    : QWidget(parent), m_state(state), m_thumbs(thumbs), m_model(new FileListModel(this)),
      m_card(new FileCard(thumbs, this)),
      m_row(new FileRow(thumbs, this)), m_view(new FileListView(*m_model, *m_card, {}, thumbs, state, this)),
      m_column(new QWidget),
      m_pageHeader(new PageHeader({}, {}, m_column)), m_empty(new EmptyState({}, {}, {}, m_column))
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_view);

    auto *column = new QVBoxLayout(m_column);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(int(kSpacing));
    column->addWidget(m_pageHeader);
    column->addWidget(m_empty);
    m_empty->hide();
    m_view->setHeader(m_column);

    m_view->setSpokenName(QStringLiteral("Files"));
    applyListMode();

    connect(m_view, &FileListView::contentWidthChanged, this, &FilesPage::setColumns);
    connect(&state, &AppState::sortChanged, this, &FilesPage::resort);
    connect(&state, &AppState::listModeChanged, this, [this]() {
        applyListMode();
        scrollToTarget();
    });
    connect(&state, &AppState::cardSizeChanged, this, [this]() {
        applyListMode();
        setColumns(m_view->viewport()->width());
    });
    connect(&state, &AppState::scrollTargetChanged, this, &FilesPage::scrollToTarget);
}

FilesPage::~FilesPage() = default;

void FilesPage::applyListMode()
{
    FileListLayout layout;
    layout.sideMargin = kSideMargin;
    layout.topMargin = kTopMargin;
    layout.bottomMargin = kBottomMargin;
    layout.headerSpacing = kSpacing;
    if (m_state.listMode()) {
        layout.flow = FileListLayout::Flow::rows;
        layout.spacing = kRowSpacing;
    } else {
        layout.flow = FileListLayout::Flow::grid;
        layout.spacing = kGridSpacing;
        layout.minColumn = m_state.cardSize();
        layout.maxColumn = m_state.cardSize() * kMaxCardFactor;
    }
    m_view->setFlow(layout);
    if (m_state.listMode())
        m_view->setDelegate(m_row);
    else
        m_view->setDelegate(m_card);
}

void FilesPage::setTitle(const QString &title)
{
    m_pageHeader->setTitle(title);
}

void FilesPage::setSubtitle(const QString &subtitle)
{
    m_pageHeader->setSubtitle(subtitle);
}

void FilesPage::setEmpty(const QString &symbol, const QString &title, const QString &detail)
{
    m_empty->setContent(symbol, title, detail);
}

void FilesPage::setHeader(QWidget *header)
{
    delete m_header;
    m_header = header;
    if (header)
        static_cast<QVBoxLayout *>(m_column->layout())->insertWidget(1, header);
}

void FilesPage::setItems(const QList<FileItem> &items)
{
    m_items = items;
    resort();
}

const QList<FileItem> &FilesPage::sorted() const
{
    return m_model->items();
}

void FilesPage::resort()
{
    m_model->setItems(m_state.sort().apply(m_items));
    m_empty->setVisible(m_model->rowCount() == 0);
    publishVisible();
}

void FilesPage::publishVisible()
{
    // Only the page on screen speaks for the window; a page built in the
    // background takes its turn when it is shown.
    if (isVisible())
        m_state.setVisible(m_model->items());
}

void FilesPage::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    publishVisible();
    setColumns(m_view->viewport()->width());
}

int FilesPage::columnsFor(qreal width, double cardSize)
{
    const double n = std::trunc((width - 2 * kSideMargin + kGridSpacing) / (cardSize + kGridSpacing));
    return n >= 2 ? int(n) : 1;
}

void FilesPage::setColumns(qreal width)
{
    m_state.setColumns(columnsFor(width, m_state.cardSize()));
}

void FilesPage::scrollToTarget()
{
    const std::optional<QByteArray> &target = m_state.scrollTarget();
    if (!target)
        return;
    m_view->scrollToRow(m_model->rowOf(*target), isVisible());
}
