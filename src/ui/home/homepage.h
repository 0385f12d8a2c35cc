#pragma once

#include "files/filelistlayout.h"

#include <QList>
#include <QWidget>

class AppState;
class CleanupTile;
class EmptyState;
class FileCard;
class FileListModel;
class FileListView;
class Library;
class PageHeader;
class PageScroll;
class SectionHeader;
class ShelfCard;
class SourceCard;
class StorageBar;
class Thumbs;

// The first page of the window: a greeting over the catalog's size, how the
// space divides between kinds, a shelf per kind, the biggest clean-up
// suggestions, the latest files and the sites files came from. Each part
// follows the catalog field it is drawn from; a change of width only moves
// the parts, and adds or removes as many tiles and cards as the new width
// shows.
class HomePage final : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kSpacing = 30;
    static constexpr int kSectionSpacing = 14;
    static constexpr int kRecentsSpacing = 10;
    // The latest files' cards: 150 to 240 points wide, 8 apart.
    static constexpr qreal kRecentsMinWidth = 150;
    static constexpr qreal kRecentsMaxWidth = 240;
    static constexpr qreal kRecentsGap = 8;
    static constexpr int kSourceRowSpacing = 12;
    static constexpr int kVisibleCount = 8;
    static constexpr qreal kInitialWidth = 900;

    HomePage(AppState &state, Library &library, Thumbs &thumbs, QWidget *parent = nullptr);
    ~HomePage() override;

    // The width the columns and the number of latest files follow: the
    // page's column inside its padding.
    qreal pageWidth() const { return m_width; }
    // Shelf, clean-up and source grid columns at the current width.
    int columns() const { return m_columns; }

    PageScroll &scroll() const { return *m_scroll; }
    PageHeader &pageHeader() const { return *m_header; }
    // Shown until the first scan is in; everything below it is hidden meanwhile.
    EmptyState &emptyState() const { return *m_empty; }
    StorageBar &storageBar() const { return *m_storage; }
    // One per shelf kind, in kind order.
    const QList<ShelfCard *> &shelves() const { return m_shelves; }
    // Each section is a column of its header and its grid; hidden sections
    // are the ones with nothing to show.
    QWidget &shelfSection() const { return *m_shelfSection; }
    QWidget &cleanupSection() const { return *m_cleanupSection; }
    QWidget &recentsSection() const { return *m_recentsSection; }
    QWidget &sourcesSection() const { return *m_sourcesSection; }
    SectionHeader &cleanupHeader() const { return *m_cleanupHeader; }
    SectionHeader &sourcesHeader() const { return *m_sourcesHeader; }
    const QList<CleanupTile *> &cleanupTiles() const { return m_tiles; }
    FileListView &recents() const { return *m_recents; }
    const QList<SourceCard *> &sourceCards() const { return m_sourceCards; }

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void refreshHeader();
    void refreshPhase();
    void rebuildShelves();
    void rebuildCleanup();
    static FileListLayout recentsLayout();
    void rebuildRecents();
    void rebuildSources();
    void publishVisible();
    void setWidth(qreal width);

    AppState &m_state;
    Library &m_library;
    Thumbs &m_thumbs;
    qreal m_width = kInitialWidth;
    int m_columns;
    PageScroll *m_scroll;
    PageHeader *m_header;
    EmptyState *m_empty;
    StorageBar *m_storage;
    QWidget *m_shelfSection;
    QWidget *m_shelfGrid;
    QList<ShelfCard *> m_shelves;
    QWidget *m_cleanupSection;
    SectionHeader *m_cleanupHeader;
    QWidget *m_cleanupGrid;
    QList<CleanupTile *> m_tiles;
    QWidget *m_recentsSection;
    FileListModel *m_recentsModel;
    FileCard *m_recentsCard;
    FileListView *m_recents;
    QWidget *m_sourcesSection;
    SectionHeader *m_sourcesHeader;
    QWidget *m_sourcesGrid;
    QList<SourceCard *> m_sourceCards;
};
