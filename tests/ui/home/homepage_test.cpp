// The home page on a catalog fed by a stand-in scan: which parts show, in
// which order, how many tiles and cards a width holds, and where clicks lead.
#include "home/homepage.h"
#include "files/filelistview.h"
#include "pages/filelistmodel.h"
#include "home/shelfcard.h"
#include "home/storagebar.h"

#include "components/emptystate.h"
#include "components/pageheader.h"
#include "components/sectionheader.h"
#include "files/thumbs.h"
#include "library/library.h"
#include "records.h"
#include "state/appstate.h"
#include "tempdir.h"
#include "tidy/cleanuptile.h"
#include "tidy/pagescroll.h"
#include "tidy/sourcecard.h"

#include <QLocale>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

namespace {

constexpr Millis kNow = 1'750'000'000'000;

FileItem record(const QByteArray &path, qint64 size, Millis modified, std::optional<QString> source = {})
{
    FileItem::Fields f = fieldsFor(path);
    f.size = size;
    f.modified = f.created = f.added = modified;
    f.source = std::move(source);
    return FileItem(f);
}

class HomePageTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        for (int i = 0; i < 10; ++i) {
            const QString source = QStringLiteral("site%1.example").arg(i % 7);
            disk.append(record("/home/ana/Downloads/photo" + QByteArray::number(i) + ".jpg", 1000 + i,
                               kNow - i * 60'000, source));
        }
        disk.append(record("/home/ana/Documents/notes.txt", 500, kNow - 3'600'000));
    }

    Library::Environment environment()
    {
        Library::Environment env;
        env.home = "/home/ana";
        env.demoRoots = Library::Paths{"/home/ana/Documents"};
        env.appDirs = [] { return Library::Paths{}; };
        env.now = [] { return kNow; };
        env.later = [](int, std::function<void()>) {};
        env.scan = [this](const Library::Paths &, const Library::Paths &) { return disk; };
        env.folderSize = [](const QByteArray &) { return qint64(0); };
        env.findDuplicates = [](const QList<FileItem> &, const QByteArray &) { return QList<DupGroup>{}; };
        env.cleanupCards = [this](const QList<FileItem> &, const QList<DupGroup> &, Millis, const QByteArray &) { return cards; };
        env.watchFolders = false;
        return env;
    }

    void scan(Library &library)
    {
        library.rescan(false);
        ASSERT_TRUE(waitUntil([&] { return library.hasScanned() && !library.isScanning(); }));
    }

    // The blocks of the page's column that are not hidden, top to bottom.
    static QList<QWidget *> shownBlocks(HomePage &page)
    {
        QList<QWidget *> out;
        QVBoxLayout *column = page.scroll().column();
        for (int i = 0; i < column->count(); ++i) {
            QWidget *block = column->itemAt(i)->widget();
            if (block && !block->isHidden())
                out.append(block);
        }
        return out;
    }

    QList<FileItem> disk;
    QList<CleanupCard> cards;
    AppState state;
    Thumbs thumbs;
};

} // namespace

TEST_F(HomePageTest, BeforeTheFirstScanOnlyTheGreetingAndAPlaceholder)
{
    Library library(environment());
    HomePage page(state, library, thumbs);
    EXPECT_EQ(page.pageHeader().subtitle(), QStringLiteral("Getting to know your files"));
    EXPECT_EQ(shownBlocks(page), (QList<QWidget *>{&page.pageHeader(), &page.emptyState()}));
    EXPECT_EQ(page.emptyState().title(), QStringLiteral("Having a look around…"));
    EXPECT_EQ(page.emptyState().detail(),
              QStringLiteral("Tovalo is reading your home folders. Nothing leaves this computer."));
}

TEST_F(HomePageTest, CleanUpIsLeftOutWhenEveryCardIsEmpty)
{
    for (CleanupKind kind : CleanupKinds::all)
        cards.append({kind, {}});
    Library library(environment());
    HomePage page(state, library, thumbs);
    scan(library);
    EXPECT_EQ(page.pageHeader().subtitle(), QStringLiteral("11 files · 11 KB across your computer"));
    EXPECT_EQ(shownBlocks(page), (QList<QWidget *>{&page.pageHeader(), &page.storageBar(), &page.shelfSection(),
                                                   &page.recentsSection(), &page.sourcesSection()}));
    ASSERT_EQ(page.shelves().size(), 6);
    for (qsizetype i = 0; i < 6; ++i)
        EXPECT_EQ(page.shelves()[i]->kind(), Kinds::shelves[i]);
    EXPECT_EQ(page.shelves()[1]->caption(), QStringLiteral("Empty")); // videos
    EXPECT_EQ(page.shelves()[0]->prints().size(), ShelfCard::kPrintCount);
}

TEST_F(HomePageTest, TilesCardsAndRecentsFollowTheWidth)
{
    cards = {{CleanupKind::duplicates, {disk[0]}},
             {CleanupKind::downloads, {disk[1], disk[2], disk[3]}},
             {CleanupKind::installers, {}},
             {CleanupKind::screenshots, {disk[4], disk[5]}},
             {CleanupKind::videos, {}},
             {CleanupKind::apps, {}}};
    Library library(environment());
    HomePage page(state, library, thumbs);
    scan(library);
    page.resize(1000, 700);
    page.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&page));
    EXPECT_EQ(state.visible(), library.recents().mid(0, 8));
    EXPECT_FALSE(page.cleanupSection().isHidden());
    EXPECT_EQ(page.cleanupHeader().pill(), QStringLiteral("Free up to 6 KB"));
    EXPECT_EQ(page.sourcesHeader().pill(), QStringLiteral("7"));

    // Page widths well inside one rule's step, whether or not a scroll bar takes its room.
    const struct
    {
        int width;
        int columns;
        QList<CleanupKind> tiles;
        int sourceCards;
        int recents;
    } cases[] = {
        {600, 2, {CleanupKind::downloads, CleanupKind::screenshots}, 4, 3},
        {1100, 3, {CleanupKind::downloads, CleanupKind::screenshots, CleanupKind::duplicates}, 6, 6},
        {800, 3, {CleanupKind::downloads, CleanupKind::screenshots, CleanupKind::duplicates}, 6, 4},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.width);
        page.resize(c.width, 700);
        ASSERT_TRUE(waitUntil([&] { return page.recents().model().items().size() == c.recents; }));
        EXPECT_EQ(page.columns(), c.columns);
        QList<CleanupKind> tiles;
        for (const CleanupTile *tile : page.cleanupTiles())
            tiles.append(tile->card().kind);
        EXPECT_EQ(tiles, c.tiles);
        ASSERT_EQ(page.sourceCards().size(), c.sourceCards);
        EXPECT_EQ(page.sourceCards()[0]->group().name, library.sources()[0].name);
        EXPECT_EQ(page.recents().model().items(), library.recents().mid(0, c.recents));
        // The latest files make one full row of cards.
        EXPECT_TRUE(waitUntil([&] { return page.recents().gridColumns() == c.recents; }));
    }
}

TEST_F(HomePageTest, ShelvesAndSegmentsShowTheirKind)
{
    Library library(environment());
    HomePage page(state, library, thumbs);
    scan(library);
    page.resize(1000, 900);
    page.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&page));

    ShelfCard *documents = page.shelves()[3];
    // The top right corner lies outside the folder's tab: no click there.
    QTest::mouseClick(documents, Qt::LeftButton, {}, QPoint(documents->width() - 3, 3));
    EXPECT_EQ(state.route(), Route::home());
    QTest::mouseClick(documents, Qt::LeftButton, {}, QPoint(documents->width() / 2, 120));
    EXPECT_EQ(state.route(), Route::kind(Kind::document));

    StorageBar &bar = page.storageBar();
    ASSERT_EQ(bar.segments().size(), 2);
    const QRectF text = bar.segmentRect(Kind::document);
    EXPECT_GE(text.width(), 4);
    EXPECT_EQ(StorageBar::tooltip(Kind::image, 18'200'000'000), QStringLiteral("Images · 18.2 GB"));
    QTest::mouseMove(&bar, text.center().toPoint());
    EXPECT_EQ(bar.hovered(), Kind::document);
    EXPECT_TRUE(waitUntil([&] { return bar.segmentOpacity(Kind::image) == 0.35; }));
    QTest::mouseClick(&bar, Qt::LeftButton, {}, bar.segmentRect(Kind::image).center().toPoint());
    EXPECT_EQ(state.route(), Route::kind(Kind::image));
}
