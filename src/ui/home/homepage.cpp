#include "homepage.h"

#include "homerules.h"
#include "shelfcard.h"
#include "storagebar.h"

#include "analysis/cleanup.h"
#include "components/emptystate.h"
#include "components/pageheader.h"
#include "components/sectionheader.h"
#include "files/filelistview.h"
#include "library/library.h"
#include "model/fmt.h"
#include "pages/filecard.h"
#include "pages/filelistmodel.h"
#include "state/appstate.h"
#include "tidy/cleanuptile.h"
#include "tidy/pagescroll.h"
#include "tidy/sourcecard.h"

#include <QLayout>
#include <QScrollBar>
#include <QShowEvent>
#include <QTime>
#include <QVBoxLayout>

#include <cmath>

namespace {

// A fixed number of equal columns, the width shared out evenly; a row is as
// tall as its tallest item.
class ColumnGrid final : public QLayout
{
public:
    ColumnGrid(int columns, int rowSpacing, QWidget *parent)
        : QLayout(parent), m_columns(columns), m_rowSpacing(rowSpacing)
    {
        setContentsMargins(0, 0, 0, 0);
    }
    ~ColumnGrid() override
    {
        while (QLayoutItem *item = takeAt(0))
            delete item;
    }

    void setColumns(int columns)
    {
        if (columns == m_columns)
            return;
        m_columns = columns;
        invalidate();
    }

    void addItem(QLayoutItem *item) override { m_items.append(item); }
    QLayoutItem *itemAt(int index) const override { return m_items.value(index); }
    QLayoutItem *takeAt(int index) override
    {
        return index >= 0 && index < m_items.size() ? m_items.takeAt(index) : nullptr;
    }
    int count() const override { return int(m_items.size()); }
    Qt::Orientations expandingDirections() const override { return Qt::Horizontal; }
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override { return arrange(QRect(0, 0, width, 0), false); }
    QSize sizeHint() const override
    {
        const int width = geometry().width() > 0 ? geometry().width() : 600;
        return {width, heightForWidth(width)};
    }
    QSize minimumSize() const override
    {
        return {m_columns * 10 + (m_columns - 1) * int(HomeRules::kColumnSpacing), 0};
    }
    void setGeometry(const QRect &rect) override
    {
        QLayout::setGeometry(rect);
        arrange(rect, true);
    }

private:
    int arrange(const QRect &rect, bool apply) const
    {
        QList<QLayoutItem *> shown;
        for (QLayoutItem *item : m_items) {
            if (!item->isEmpty())
                shown.append(item);
        }
        if (shown.isEmpty())
            return 0;
        const qreal spacing = HomeRules::kColumnSpacing;
        const qreal column = std::max<qreal>(0, (rect.width() - (m_columns - 1) * spacing) / m_columns);
        qreal y = rect.top();
        for (qsizetype start = 0; start < shown.size(); start += m_columns) {
            int height = 0;
            const qsizetype end = std::min(shown.size(), start + m_columns);
            for (qsizetype i = start; i < end; ++i) {
                QLayoutItem *item = shown[i];
                height = std::max(height, item->hasHeightForWidth() ? item->heightForWidth(int(column))
                                                                    : item->sizeHint().height());
            }
            if (apply) {
                for (qsizetype i = start; i < end; ++i) {
                    const qreal x = rect.left() + (i - start) * (column + spacing);
                    // Whole pixels that meet the next column's edge exactly.
                    const int left = int(std::lround(x));
                    const int right = int(std::lround(x + column));
                    shown[i]->setGeometry(QRect(left, int(std::lround(y)), right - left, height));
                }
            }
            y += height + m_rowSpacing;
        }
        return int(std::ceil(y - m_rowSpacing - rect.top()));
    }

    int m_columns;
    int m_rowSpacing;
    QList<QLayoutItem *> m_items;
};

QWidget *section(SectionHeader *header, QWidget *body, int spacing)
{
    auto *box = new QWidget;
    auto *layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(spacing);
    layout->addWidget(header);
    layout->addWidget(body);
    return box;
}

ColumnGrid &gridOf(QWidget *grid)
{
    return *static_cast<ColumnGrid *>(grid->layout());
}

} // namespace

FileListLayout HomePage::recentsLayout()
{
    // The latest files: a few cards that grow the page instead of scrolling.
    FileListLayout recents;
    recents.flow = FileListLayout::Flow::grid;
    recents.scrolls = false;
    recents.spacing = kRecentsGap;
    recents.minColumn = kRecentsMinWidth;
    recents.maxColumn = kRecentsMaxWidth;
    return recents;
}

HomePage::HomePage(AppState &state, Library &library, Thumbs &thumbs, QWidget *parent)
    : QWidget(parent), m_state(state), m_library(library), m_thumbs(thumbs),
      m_columns(HomeRules::columns(kInitialWidth)), m_scroll(new PageScroll(kSpacing, this)),
      m_header(new PageHeader(QString(), QString())),
      m_empty(new EmptyState(QStringLiteral("binoculars"), QStringLiteral("Having a look around…"),
                             QStringLiteral("Tovalo is reading your home folders. Nothing leaves this computer."))),
      m_storage(new StorageBar(state, library)), m_shelfGrid(new QWidget), m_cleanupGrid(new QWidget),
      m_recentsModel(new FileListModel(this)), m_recentsCard(new FileCard(thumbs, this)),
      m_recents(new FileListView(*m_recentsModel, *m_recentsCard, recentsLayout(), thumbs, state)),
      m_sourcesGrid(new QWidget)
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_scroll);
    m_scroll->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);

    m_recents->setSpokenName(QStringLiteral("Fresh in"));

    new ColumnGrid(m_columns, kSectionSpacing, m_shelfGrid);
    for (Kind kind : Kinds::shelves) {
        auto *shelf = new ShelfCard(kind, state, library, thumbs);
        m_shelfGrid->layout()->addWidget(shelf);
        m_shelves.append(shelf);
    }
    m_shelfSection = section(new SectionHeader(QStringLiteral("Library")), m_shelfGrid, kSectionSpacing);

    new ColumnGrid(m_columns, kSectionSpacing, m_cleanupGrid);
    m_cleanupHeader = new SectionHeader(QStringLiteral("Clean Up"), QString(), QStringLiteral("See all"),
                                        [this]() { m_state.go(Route::cleanup()); });
    m_cleanupSection = section(m_cleanupHeader, m_cleanupGrid, kSectionSpacing);

    m_recentsSection = section(new SectionHeader(QStringLiteral("Fresh in"), std::nullopt, QStringLiteral("Recents"),
                                                 [this]() { m_state.go(Route::recents()); }),
                               m_recents, kRecentsSpacing);

    new ColumnGrid(m_columns, kSourceRowSpacing, m_sourcesGrid);
    m_sourcesHeader = new SectionHeader(QStringLiteral("Downloaded From"), QString(), QStringLiteral("See all"),
                                        [this]() { m_state.go(Route::sources()); });
    m_sourcesSection = section(m_sourcesHeader, m_sourcesGrid, kSectionSpacing);

    QVBoxLayout *column = m_scroll->column();
    for (QWidget *block : {static_cast<QWidget *>(m_header), static_cast<QWidget *>(m_empty),
                           static_cast<QWidget *>(m_storage), m_shelfSection, m_cleanupSection,
                           m_recentsSection, m_sourcesSection})
        column->addWidget(block);
    // Held at the top by a stretch rather than by the column's alignment:
    // an aligned layout takes its height from the width of its size hint,
    // which squeezes the grids when the real width wraps differently.
    column->setAlignment(Qt::Alignment());
    column->addStretch(1);

    m_scroll->widget()->installEventFilter(this);

    connect(&library, &Library::hasScannedChanged, this, [this]() {
        refreshHeader();
        refreshPhase();
    });
    connect(&library, &Library::itemsChanged, this, &HomePage::refreshHeader);
    connect(&library, &Library::totalSizeChanged, this, &HomePage::refreshHeader);
    connect(&library, &Library::cleanupChanged, this, &HomePage::rebuildCleanup);
    connect(&library, &Library::recentsChanged, this, [this]() {
        rebuildRecents();
        if (isVisible())
            publishVisible();
    });
    connect(&library, &Library::sourcesChanged, this, &HomePage::rebuildSources);

    refreshHeader();
    rebuildCleanup();
    rebuildRecents();
    rebuildSources();
}

HomePage::~HomePage() = default;

void HomePage::refreshHeader()
{
    m_header->setTitle(HomeRules::greeting(QTime::currentTime().hour()));
    m_header->setSubtitle(
        HomeRules::summary(m_library.hasScanned(), m_library.items().size(), m_library.totalSize()));
}

void HomePage::refreshPhase()
{
    const bool scanned = m_library.hasScanned();
    m_empty->setVisible(!scanned);
    m_storage->setVisible(scanned);
    m_shelfSection->setVisible(scanned);
    m_cleanupSection->setVisible(scanned && !m_tiles.isEmpty());
    m_recentsSection->setVisible(scanned && !m_recentsModel->items().isEmpty());
    m_sourcesSection->setVisible(scanned && !m_sourceCards.isEmpty());
}

void HomePage::rebuildCleanup()
{
    const QList<CleanupCard> &cards = m_library.cleanup();
    const QList<CleanupCard> wanted = HomeRules::cleanupTiles(cards, m_columns);
    m_cleanupHeader->setPill(QStringLiteral("Free up to ") + Fmt::size(Cleanup::total(cards)));
    // Tiles already there take the new cards, so their pictures stay put.
    while (m_tiles.size() > wanted.size())
        delete m_tiles.takeLast();
    for (qsizetype i = 0; i < wanted.size(); ++i) {
        if (i < m_tiles.size()) {
            m_tiles[i]->setCard(wanted[i]);
            continue;
        }
        auto *tile = new CleanupTile(wanted[i], m_state, m_thumbs);
        m_cleanupGrid->layout()->addWidget(tile);
        m_tiles.append(tile);
    }
    refreshPhase();
}

void HomePage::rebuildRecents()
{
    // The same files keep their cards' laid-out captions and pictures.
    const QList<FileItem> latest = m_library.recents().mid(0, HomeRules::recentsCount(m_width));
    if (latest != m_recentsModel->items())
        m_recentsModel->setItems(latest);
    refreshPhase();
}

void HomePage::rebuildSources()
{
    const QList<SourceGroup> &groups = m_library.sources();
    const QList<SourceGroup> wanted = groups.mid(0, 2 * m_columns);
    m_sourcesHeader->setPill(QString::number(groups.size()));
    while (m_sourceCards.size() > wanted.size())
        delete m_sourceCards.takeLast();
    for (qsizetype i = 0; i < wanted.size(); ++i) {
        if (i < m_sourceCards.size()) {
            m_sourceCards[i]->setGroup(wanted[i]);
            continue;
        }
        auto *card = new SourceCard(wanted[i], m_state, m_thumbs);
        m_sourcesGrid->layout()->addWidget(card);
        m_sourceCards.append(card);
    }
    refreshPhase();
}

void HomePage::publishVisible()
{
    m_state.setVisible(m_library.recents().mid(0, kVisibleCount));
}

void HomePage::setWidth(qreal width)
{
    if (width == m_width)
        return;
    const int before = HomeRules::recentsCount(m_width);
    m_width = width;
    const int columns = HomeRules::columns(width);
    if (columns != m_columns) {
        m_columns = columns;
        for (QWidget *grid : {m_shelfGrid, m_cleanupGrid, m_sourcesGrid})
            gridOf(grid).setColumns(columns);
        rebuildCleanup();
        rebuildSources();
    }
    if (HomeRules::recentsCount(width) != before)
        rebuildRecents();
}

bool HomePage::eventFilter(QObject *watched, QEvent *event)
{
    // The width inside the column's padding: what the grids share out, so
    // the latest files fill exactly one row of cards.
    if (watched == m_scroll->widget() && event->type() == QEvent::Resize)
        setWidth(m_scroll->widget()->width() - 2 * PageScroll::kSideMargin);
    return QWidget::eventFilter(watched, event);
}

void HomePage::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (event->spontaneous())
        return;
    refreshHeader();
    refreshPhase();
    m_scroll->verticalScrollBar()->setValue(0);
    publishVisible();
}
