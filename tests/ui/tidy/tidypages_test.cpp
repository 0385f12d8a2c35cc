// The clean-up, review, duplicates and sources pages on a catalog whose disk,
// clock and analyses the test stands in for, with a Trash in a temporary folder.
#include "access/accessibility.h"
#include "tidy/banner.h"
#include "tidy/cleanuppage.h"
#include "tidy/cleanupreviewpage.h"
#include "tidy/cleanuptile.h"
#include "tidy/dupgroupcard.h"
#include "tidy/duplicatespage.h"
#include "files/filelistview.h"
#include "pages/filelistmodel.h"
#include "tidy/reviewrow.h"
#include "tidy/sourcecard.h"
#include "tidy/sourcespage.h"

#include "components/emptystate.h"
#include "components/pageheader.h"
#include "components/pillbutton.h"
#include "files/thumbs.h"
#include "library/library.h"
#include "records.h"
#include "state/appstate.h"
#include "state/trasher.h"
#include "tempdir.h"
#include "trashtesting.h"

#include <QAccessible>
#include <QLocale>
#include <QTest>

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>

namespace {

constexpr Millis kNow = 1'750'000'000'000;

QString title(const Banner &banner)
{
    return banner.title() + QStringLiteral(" / ") + banner.detail();
}

class TidyPagesTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        Library::Environment env;
        env.home = tree.path("home");
        env.demoRoots = Library::Paths{tree.path("home/Downloads")};
        env.appDirs = [] { return Library::Paths{}; };
        env.now = [] { return kNow; };
        env.later = [](int, std::function<void()>) {};
        env.scan = [this](const Library::Paths &, const Library::Paths &) {
            std::lock_guard guard(lock);
            return disk;
        };
        env.findDuplicates = [this](const QList<FileItem> &, const QByteArray &) {
            while (holdDuplicates)
                QThread::msleep(1);
            std::lock_guard guard(lock);
            return groups;
        };
        // Every file is a forgotten download; the extras are the duplicates card.
        env.cleanupCards = [](const QList<FileItem> &items, const QList<DupGroup> &dups, Millis, const QByteArray &) {
            QList<CleanupCard> cards;
            for (CleanupKind kind : CleanupKinds::all)
                cards.append(CleanupCard{kind, {}});
            cards[1].items = items;
            for (const DupGroup &group : dups)
                cards[0].items.append(group.extras());
            return cards;
        };
        env.watchFolders = false;
        library = std::make_unique<Library>(std::move(env));
        trasher = std::make_unique<Trasher>(Trasher::Environment{
            library.get(), &state, FreedesktopTrash(TrashTesting::config(tree.folder("home/.local/share"))),
            [](int, std::function<void()>) {}});
    }

    void TearDown() override { QLocale::setDefault(QLocale::c()); }

    // A real file of `size` bytes in Downloads, as the catalog records it.
    FileItem file(const QByteArray &name, qint64 size, std::optional<QString> source = std::nullopt)
    {
        FileItem::Fields f = fieldsFor(tree.file("home/Downloads/" + name, QByteArray(size, 'x')));
        f.size = size;
        f.created = kNow - 86'400'000;
        f.source = std::move(source);
        return FileItem(f);
    }

    void catalog(const QList<FileItem> &items, const QList<DupGroup> &dups = {})
    {
        {
            std::lock_guard guard(lock);
            disk = items;
            groups = dups;
        }
        library->rescan(false);
        ASSERT_TRUE(waitUntil([&] { return !library->isScanning() && !library->dupScanning(); }));
    }

    static void show(QWidget &page)
    {
        page.resize(900, 700);
        page.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&page));
    }

    TempTree tree;
    std::mutex lock;
    QList<FileItem> disk;
    QList<DupGroup> groups;
    std::atomic<bool> holdDuplicates = false;
    AppState state;
    Thumbs thumbs;
    std::unique_ptr<Library> library;
    std::unique_ptr<Trasher> trasher;
};

} // namespace

TEST_F(TidyPagesTest, CleanupPageWithoutCandidatesDimsAllSixTiles)
{
    catalog({});
    CleanupPage page(state, *library, thumbs);
    show(page);
    EXPECT_EQ(page.header().subtitle(), u"Nothing worth clearing out right now");
    ASSERT_EQ(page.tiles().size(), 6);
    for (const CleanupTile *tile : page.tiles()) {
        EXPECT_FALSE(tile->isEnabled());
        EXPECT_EQ(tile->countText(), u"0 items");
    }

    catalog({file("a.zip", 2048), file("b.zip", 1000)});
    EXPECT_EQ(page.header().subtitle(), u"You could free up to 3 KB");
    EXPECT_TRUE(page.tiles()[1]->isEnabled());
    EXPECT_EQ(page.tiles()[1]->countText(), u"2 items");
    EXPECT_FALSE(page.tiles()[2]->isEnabled());
    QTest::mouseClick(page.tiles()[1], Qt::LeftButton);
    EXPECT_EQ(state.route(), Route::cleanupDetail(CleanupKind::downloads));
}

TEST_F(TidyPagesTest, ReviewPageTicksDriveTheBannerAndButtons)
{
    QList<FileItem> items;
    for (int i = 0; i < 10; ++i)
        items.append(file("f" + QByteArray::number(i) + ".bin", 2048));
    catalog(items);
    CleanupReviewPage page(CleanupKind::downloads, state, *library, thumbs);
    page.setTrasher(*trasher);
    show(page);
    EXPECT_EQ(pathsOf(state.visible()), pathsOf(page.items()));

    struct Case
    {
        const char *what;
        std::function<void()> act;
        QString banner, select, trash;
        bool enabled;
    };
    FileListView &list = page.list();
    const auto untick = [&](QList<int> rows) {
        for (int row : rows)
            QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, ReviewRow::tickRect(list.itemRect(row)).center().toPoint());
    };
    const QList<Case> cases = {
        {"three unticked", [&] { untick({0, 4, 9}); }, "Free up 14 KB / 7 of 10 items selected", "Select All",
         "Trash Selected", true},
        {"ticked again", [&] { untick({0, 4, 9}); }, "Free up 20 KB / 10 of 10 items selected", "Select None",
         "Trash All", true},
        {"select none", [&] { QTest::mouseClick(&page.selectButton(), Qt::LeftButton); },
         "Free up Zero KB / 0 of 10 items selected", "Select All", "Trash Selected", false},
        {"select all", [&] { QTest::mouseClick(&page.selectButton(), Qt::LeftButton); },
         "Free up 20 KB / 10 of 10 items selected", "Select None", "Trash All", true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        c.act();
        EXPECT_EQ(title(page.banner()), c.banner);
        EXPECT_EQ(page.selectButton().text(), c.select);
        EXPECT_EQ(page.trashButton().text(), c.trash);
        EXPECT_EQ(page.trashButton().isEnabled(), c.enabled);
    }

    // Keyboard movement to the last file brings its row into view.
    page.resize(900, 400);
    QCoreApplication::processEvents();
    ASSERT_GT(list.itemRect(9).bottom(), list.viewport()->height());
    state.setScrollTarget(items.last().path());
    EXPECT_LE(list.itemRect(9).bottom(), list.viewport()->height());
    EXPECT_GE(list.itemRect(9).top(), 0);
}

TEST_F(TidyPagesTest, ReviewPageAfterTrashAllIsClearAndOffersUndo)
{
    catalog({file("a.bin", 2048), file("b.bin", 4096), file("c.bin", 1024)});
    CleanupReviewPage page(CleanupKind::downloads, state, *library, thumbs);
    page.setTrasher(*trasher);
    show(page);
    // One spared file stays on the card and in its folder.
    QTest::mouseClick(page.list().viewport(), Qt::LeftButton, {},
                      ReviewRow::tickRect(page.list().itemRect(1)).center().toPoint());
    QTest::mouseClick(&page.trashButton(), Qt::LeftButton);
    EXPECT_EQ(pathsOf(page.items()), (QList<QByteArray>{tree.path("home/Downloads/b.bin")}));
    EXPECT_EQ(pathsOf(state.visible()), pathsOf(page.items()));
    EXPECT_TRUE(trasher->canUndo());

    page.toggle(tree.path("home/Downloads/b.bin"));
    QTest::mouseClick(&page.trashButton(), Qt::LeftButton);
    EXPECT_EQ(title(page.banner()), u"All clear / Nothing left on this card.");
    EXPECT_FALSE(page.selectButton().isVisible());
    EXPECT_FALSE(page.trashButton().isVisible());
    EXPECT_TRUE(state.visible().isEmpty());
    EXPECT_EQ(trasher->message(), u"Moved 1 item to the Trash · 4 KB freed");
    EXPECT_FALSE(TrashTesting::exists(tree.path("home/Downloads/b.bin")));
}

TEST_F(TidyPagesTest, DuplicatesPageShowsGroupsAndMovesTheKeptCopy)
{
    const FileItem a = file("report.txt", 2048);
    const FileItem b = file("report copy.txt", 2048);
    const FileItem c = file("old/report.txt", 2048);
    const FileItem d = file("notes.txt", 1024);
    const FileItem e = file("notes (1).txt", 1024);
    const QList<DupGroup> dups = {{"2048--a", {a, b, c}, a.path()}, {"1024--d", {d, e}, d.path()}};
    catalog({a, b, c, d, e}, dups);
    DuplicatesPage page(state, *library, thumbs);
    page.setTrasher(*trasher);
    show(page);
    EXPECT_EQ(title(page.banner()), u"Free up 5 KB / 3 extra copies in 2 groups");
    EXPECT_TRUE(page.trashAllButton().isVisible());
    ASSERT_EQ(page.cards().size(), 2);
    DupGroupCard &card = *page.cards().first();
    EXPECT_EQ(card.name(), u"report.txt");
    EXPECT_EQ(card.line(), u"3 identical copies · 4 KB can be freed");
    EXPECT_EQ(card.keepButton().text(), u"Keep 1, Trash 2");

    QTest::mouseClick(&card.cells(), Qt::LeftButton, {}, card.cellRect(2).center().toPoint());
    EXPECT_EQ(library->dupGroups().first().keep, c.path());
    EXPECT_EQ(card.group().keep, c.path());
    EXPECT_EQ(pathsOf(page.extras()), (QList<QByteArray>{a.path(), b.path(), e.path()}));

    QTest::mouseClick(&card.keepButton(), Qt::LeftButton);
    EXPECT_TRUE(TrashTesting::exists(c.path()));
    EXPECT_FALSE(TrashTesting::exists(a.path()));
    ASSERT_EQ(page.cards().size(), 1);
    QTest::mouseClick(&page.trashAllButton(), Qt::LeftButton);
    EXPECT_EQ(title(page.banner()), u"No duplicates / Every file here is one of a kind.");
    EXPECT_FALSE(page.trashAllButton().isVisible());
    EXPECT_TRUE(page.cards().isEmpty());
}

TEST_F(TidyPagesTest, ReviewTicksAreCheckBoxesSpaceTicksTheFocusedFile)
{
    Accessibility::install();
    catalog({file("a.bin", 2048), file("b.bin", 4096), file("c.bin", 1024)});
    CleanupReviewPage page(CleanupKind::downloads, state, *library, thumbs);
    page.setTrasher(*trasher);
    show(page);
    FileListView &list = page.list();
    EXPECT_EQ(list.property("ownKeys").toString(), QStringLiteral("space"));
    QAccessibleInterface *reader = QAccessible::queryAccessibleInterface(&list);
    ASSERT_NE(reader, nullptr);
    const int first = reader->childCount() - int(list.model().items().size());
    ASSERT_GE(first, 0);
    const auto checked = [&](int row) {
        QAccessibleInterface *box = reader->child(first + row);
        EXPECT_EQ(box->role(), QAccessible::CheckBox);
        EXPECT_TRUE(box->state().checkable);
        EXPECT_TRUE(box->text(QAccessible::Name).startsWith(list.model().items().at(row).displayName()));
        return bool(box->state().checked);
    };
    EXPECT_TRUE(checked(0) && checked(1) && checked(2));

    // Space ticks the anchored file, and a screen reader hears it unticked.
    state.select(list.model().items().at(1), false, false);
    list.setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(waitUntil([&] { return list.hasFocus(); }));
    QTest::keyClick(&list, Qt::Key_Space);
    EXPECT_TRUE(checked(0));
    EXPECT_FALSE(checked(1));
    EXPECT_EQ(page.trashButton().text(), u"Trash Selected");
    // The reader's own toggle does the same as a click on the tick.
    QAccessibleActionInterface *action = reader->child(first + 1)->actionInterface();
    ASSERT_NE(action, nullptr);
    action->doAction(QAccessibleActionInterface::toggleAction());
    EXPECT_TRUE(checked(1));
}

TEST_F(TidyPagesTest, CopiesAreKeptWithTheKeyboardAndReadWithTheirKeptState)
{
    Accessibility::install();
    const FileItem a = file("report.txt", 2048);
    const FileItem b = file("report copy.txt", 2048);
    const FileItem c = file("old/report.txt", 2048);
    catalog({a, b, c}, {{"2048--a", {a, b, c}, a.path()}});
    DuplicatesPage page(state, *library, thumbs);
    page.setTrasher(*trasher);
    show(page);
    ASSERT_EQ(page.cards().size(), 1);
    DupGroupCard &card = *page.cards().first();
    QWidget &cells = card.cells();
    EXPECT_EQ(cells.focusPolicy(), Qt::TabFocus);

    QAccessibleInterface *reader = QAccessible::queryAccessibleInterface(&cells);
    ASSERT_NE(reader, nullptr);
    ASSERT_EQ(reader->childCount(), 3);
    const auto kept = [&] {
        QList<bool> out;
        for (int i = 0; i < 3; ++i)
            out.append(reader->child(i)->state().checked);
        return out;
    };
    EXPECT_EQ(kept(), (QList<bool>{true, false, false}));
    EXPECT_TRUE(reader->child(2)->text(QAccessible::Name).startsWith(u"report.txt"));

    // The keyboard starts on the kept copy; → → Return keeps the third.
    cells.setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(waitUntil([&] { return cells.hasFocus(); }));
    QTest::keyClick(&cells, Qt::Key_Right);
    QTest::keyClick(&cells, Qt::Key_Right);
    QTest::keyClick(&cells, Qt::Key_Right);
    QTest::keyClick(&cells, Qt::Key_Return);
    EXPECT_EQ(library->dupGroups().first().keep, c.path());
    EXPECT_EQ(kept(), (QList<bool>{false, false, true}));
    QTest::keyClick(&cells, Qt::Key_Left);
    QTest::keyClick(&cells, Qt::Key_Space);
    EXPECT_EQ(library->dupGroups().first().keep, b.path());
}

TEST_F(TidyPagesTest, DuplicatesPageSaysItIsComparingUntilTheFirstGroupsArrive)
{
    holdDuplicates = true;
    library->rescan(false);
    ASSERT_TRUE(waitUntil([&] { return library->dupScanning(); }));
    DuplicatesPage page(state, *library, thumbs);
    EXPECT_EQ(page.banner().title(), u"Comparing files…");
    {
        std::lock_guard guard(lock);
        groups = {{"1024--x", {file("x.txt", 1024), file("x copy.txt", 1024)}, tree.path("home/Downloads/x.txt")}};
    }
    holdDuplicates = false;
    ASSERT_TRUE(waitUntil([&] { return !library->dupScanning(); }));
    EXPECT_EQ(page.banner().title(), u"Free up 1 KB");
    EXPECT_EQ(page.cards().size(), 1);
}

TEST_F(TidyPagesTest, SourcesPageCountsFilesAndSources)
{
    catalog({});
    SourcesPage page(state, *library, thumbs);
    show(page);
    EXPECT_EQ(page.header().subtitle(), u"0 downloaded files from 0 sources");
    EXPECT_TRUE(page.emptyState().isVisible());
    EXPECT_EQ(page.emptyState().title(), u"No downloads with a known source");
    EXPECT_EQ(page.emptyState().detail(), u"Browsers record where a file came from when they save it.");
    EXPECT_TRUE(page.cards().isEmpty());

    catalog({file("a.zip", 10, u"github.com"_qs), file("b.zip", 10, u"github.com"_qs),
             file("c.txt", 10, u"Mail"_qs), file("d.txt", 10)});
    EXPECT_EQ(page.header().subtitle(), u"3 downloaded files from 2 sources");
    EXPECT_FALSE(page.emptyState().isVisible());
    ASSERT_EQ(page.cards().size(), 2);
    EXPECT_EQ(page.cards().first()->group().name, u"github.com");
    EXPECT_EQ(page.cards().first()->detailText(), u"2 files · 20 bytes");
    EXPECT_EQ(page.cards().last()->initial(), u"M");
    QTest::mouseClick(page.cards().last(), Qt::LeftButton);
    EXPECT_EQ(state.route(), Route::source(QStringLiteral("Mail")));
}
