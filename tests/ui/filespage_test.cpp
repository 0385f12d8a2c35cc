// The file list page, its cards and rows, and the kind page's filters.
#include "access/accessibility.h"
#include "components/kindtag.h"
#include "model/fmt.h"
#include "pages/facetchip.h"
#include "pages/filecard.h"
#include "files/filelistview.h"
#include "pages/filespage.h"
#include "pages/kindfacets.h"
#include "pages/kindpage.h"
#include "files/thumbs.h"

#include "components/emptystate.h"
#include "components/pageheader.h"
#include "library/library.h"
#include "state/appstate.h"
#include "tempdir.h"

#include <QAccessible>
#include <QContextMenuEvent>
#include <QMenu>
#include <QScrollBar>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

constexpr Millis kDay = 86'400'000;
constexpr Millis kNow = 1'750'000'000'000;

FileItem file(const QString &name, Millis modified, qint64 size = 10)
{
    FileItem::Fields f;
    f.path = QFile::encodeName(QStringLiteral("/home/ana/") + name);
    f.ext = lowerExtension(name);
    f.kind = Kinds::of(f.ext);
    f.size = size;
    f.modified = modified;
    return FileItem(f);
}

QList<QByteArray> pathsOf(const QList<FileItem> &items)
{
    QList<QByteArray> out;
    for (const FileItem &item : items)
        out.append(item.path());
    return out;
}

QStringList chipTitles(const KindPage &page)
{
    QStringList out;
    for (const FacetChip *chip : page.chips())
        out.append(chip->text() + u' ' + QString::number(chip->count()) + (chip->isOn() ? u'*' : u' '));
    return out;
}

} // namespace

TEST(FilesPageColumns, Formula)
{
    struct Case
    {
        qreal width;
        double cardSize;
        int columns;
    };
    const QList<Case> cases = {
        {900, 172, 4},  // 856 / 180 = 4.76
        {300, 172, 1},  // 256 / 180 = 1.42
        {0, 172, 1},    // negative
        {404, 172, 2},  // exactly two
        {403, 172, 1},  // just short of two
        {1220, 120, 9}, // 1176 / 128 = 9.19
        {1220, 300, 3},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.width);
        EXPECT_EQ(FilesPage::columnsFor(c.width, c.cardSize), c.columns);
    }
}

class FilesPageTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        items = {file("File 10.txt", kNow - 3 * kDay, 300), file("File 2.txt", kNow - kDay, 100),
                 file("alpha.png", kNow - 2 * kDay, 200)};
        page.resize(900, 700);
    }

    AppState state;
    Thumbs thumbs;
    QList<FileItem> items;
    FilesPage page{state, thumbs};
};

TEST_F(FilesPageTest, PublishesVisibleInSortOrderAndRewritesItOnSortChange)
{
    page.setItems(items);
    EXPECT_TRUE(state.visible().isEmpty()); // not on screen yet
    page.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&page));
    EXPECT_EQ(pathsOf(state.visible()), (QList<QByteArray>{"/home/ana/File 2.txt", "/home/ana/alpha.png",
                                                            "/home/ana/File 10.txt"}));
    state.select(state.visible()[1], false, false);
    const QSet<QByteArray> selected = state.selection();

    struct Case
    {
        SortKey sort;
        QList<QByteArray> order;
    };
    const QList<Case> cases = {
        {SortKey::name, {"/home/ana/alpha.png", "/home/ana/File 2.txt", "/home/ana/File 10.txt"}},
        {SortKey::size, {"/home/ana/File 10.txt", "/home/ana/alpha.png", "/home/ana/File 2.txt"}},
        {SortKey::kind, {"/home/ana/alpha.png", "/home/ana/File 2.txt", "/home/ana/File 10.txt"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.sort.rawValue().toStdString());
        state.setSort(c.sort);
        EXPECT_EQ(pathsOf(state.visible()), c.order);
        EXPECT_EQ(pathsOf(page.sorted()), c.order);
        EXPECT_EQ(state.selection(), selected);
    }
    // New files rewrite it too.
    page.setItems(items.mid(0, 1));
    EXPECT_EQ(pathsOf(state.visible()), QList<QByteArray>{"/home/ana/File 10.txt"});
}

TEST_F(FilesPageTest, WidthAndCardSizeSetTheColumns)
{
    page.setItems(items);
    page.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&page));
    EXPECT_EQ(state.columns(), FilesPage::columnsFor(page.view().viewport()->width(), 172));
    EXPECT_EQ(state.columns(), 4);
    EXPECT_EQ(page.view().gridColumns(), 4);
    state.setCardSize(300);
    EXPECT_EQ(state.columns(), 2);
    page.resize(300, 700);
    ASSERT_TRUE(waitUntil([&] { return state.columns() == 1; }));
}

TEST_F(FilesPageTest, CardsStayWithinTheirWidthsAndTheGridIsCentred)
{
    page.setItems(items);
    page.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&page));
    const FileListView &view = page.view();
    const qreal width = view.columnWidth();
    EXPECT_GE(width, 172);
    EXPECT_LE(width, 172 * 1.6);
    const QRectF first = view.itemRect(0);
    const QRectF second = view.itemRect(1);
    EXPECT_DOUBLE_EQ(second.left() - first.right(), FilesPage::kGridSpacing);
    // Preview is 4:3 inside the card's 7-point padding.
    const QRectF preview = FileCard::previewRect(first);
    EXPECT_NEAR(preview.width() / preview.height(), 4.0 / 3.0, 1e-9);
    EXPECT_DOUBLE_EQ(preview.left() - first.left(), 7);
}

TEST_F(FilesPageTest, ClicksSelectAndTheBackgroundClears)
{
    page.setItems(items);
    page.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&page));
    QWidget *viewport = page.view().viewport();
    const QPoint onFirst = page.view().itemRect(0).center().toPoint();
    QTest::mouseClick(viewport, Qt::LeftButton, {}, onFirst);
    EXPECT_EQ(state.selection(), QSet<QByteArray>{page.sorted()[0].path()});
    const QPoint onThird = page.view().itemRect(2).center().toPoint();
    QTest::mouseClick(viewport, Qt::LeftButton, Qt::ShiftModifier, onThird);
    EXPECT_EQ(state.selection().size(), 3);

    // Below the last card lies only the clear background.
    const QPoint below(onFirst.x(), int(page.view().itemRect(0).bottom()) + 40);
    ASSERT_EQ(page.view().rowAt(below), -1);
    QTest::mouseClick(viewport, Qt::LeftButton, {}, below);
    EXPECT_TRUE(state.selection().isEmpty());
    EXPECT_FALSE(state.anchor().has_value());
}

TEST_F(FilesPageTest, ScreenReadersReadEachFileAndItsSelectionAndFollowAResort)
{
    Accessibility::install();
    page.setItems(items);
    page.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&page));
    state.select(state.visible()[1], false, false);
    FileListView &view = page.view();
    QAccessibleInterface *list = QAccessible::queryAccessibleInterface(&view);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->role(), QAccessible::List);
    // The view's own widgets (the header with the title) first, then one child per file.
    const int first = list->childCount() - int(items.size());
    ASSERT_GE(first, 1);
    for (int i = 0; i < int(items.size()); ++i) {
        const FileItem &item = page.sorted()[i];
        QAccessibleInterface *child = list->child(first + i);
        ASSERT_NE(child, nullptr);
        EXPECT_EQ(child->role(), QAccessible::ListItem);
        const QString name = child->text(QAccessible::Name);
        EXPECT_TRUE(name.startsWith(item.displayName() + QStringLiteral(", ") + KindTag::label(item) +
                                    QStringLiteral(", ") + Fmt::size(item.size()) + QStringLiteral(", ")))
            << name.toStdString();
        EXPECT_EQ(child->state().selected, i == 1) << i;
        EXPECT_EQ(list->indexOfChild(child), first + i);
        // Asked twice, the same child: made once, kept.
        EXPECT_EQ(list->child(first + i), child);
        const QRect onScreen = child->rect();
        EXPECT_EQ(list->childAt(onScreen.center().x(), onScreen.center().y()), child);
    }
    // A child names its own file after the order changed.
    QAccessibleInterface *two = list->child(first);
    ASSERT_TRUE(two->text(QAccessible::Name).startsWith(QStringLiteral("File 2.txt")));
    state.setSort(SortKey::name);
    EXPECT_TRUE(two->text(QAccessible::Name).startsWith(QStringLiteral("File 2.txt")));
    EXPECT_EQ(list->indexOfChild(two), first + 1);
    // A file that left the list is no longer a valid child.
    page.setItems(items.mid(2, 1));
    EXPECT_FALSE(two->isValid());
    EXPECT_EQ(list->childCount(), first + 1);
}

TEST_F(FilesPageTest, KeyboardMenuBelongsToTheSelection)
{
    page.setItems(items);
    page.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&page));
    state.select(state.visible()[2], false, false);
    FileListView &view = page.view();
    EXPECT_EQ(view.focusPolicy(), Qt::StrongFocus);
    EXPECT_TRUE(view.property("fileView").toBool());
    // From the keyboard, the menu opens on the selected file wherever the pointer is.
    QContextMenuEvent event(QContextMenuEvent::Keyboard, QPoint(), QPoint());
    QCoreApplication::sendEvent(&view, &event);
    QMenu *menu = view.findChild<QMenu *>();
    ASSERT_NE(menu, nullptr);
    // The point given lies on no file: only the selection can have made it.
    ASSERT_EQ(view.rowAt(QPointF(0, 0)), -1);
    ASSERT_TRUE(waitUntil([&] { return menu->isVisible(); }));
    menu->close();
}

TEST_F(FilesPageTest, ScrollTargetBringsTheFileIntoViewInGridAndList)
{
    QList<FileItem> many;
    for (int i = 0; i < 400; ++i)
        many.append(file(QStringLiteral("f%1.txt").arg(i), kNow - i * kDay));
    page.setItems(many);
    page.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&page));
    for (bool list : {false, true}) {
        SCOPED_TRACE(list ? "list" : "grid");
        state.setListMode(list);
        for (int row : {300, 5, 399}) {
            state.setScrollTarget(many[row].path());
            ASSERT_TRUE(waitUntil([&] {
                const QRectF rect = page.view().itemRect(row);
                return rect.top() >= 0 && rect.bottom() <= page.view().viewport()->height();
            }));
        }
    }
}

TEST_F(FilesPageTest, EmptyListShowsTheEmptyState)
{
    page.setEmpty(QStringLiteral("photo"), QStringLiteral("Nothing here yet"), QStringLiteral("Detail."));
    page.setItems({});
    page.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&page));
    EXPECT_TRUE(page.emptyState().isVisible());
    page.setItems(items);
    EXPECT_FALSE(page.emptyState().isVisible());
}

// --- Facets -------------------------------------------------------------------

TEST(KindFacets, GroupsSortsAndPicks)
{
    QList<FileItem> all;
    const QList<std::pair<const char *, int>> counts = {{"jpg", 3}, {"png", 3}, {"gif", 1}, {"", 2}};
    for (const auto &[ext, n] : counts) {
        for (int i = 0; i < n; ++i)
            all.append(file(QStringLiteral("p%1%2").arg(i).arg(*ext ? QStringLiteral(".") + ext : QString()), kNow));
    }
    const QList<KindFacets::Facet> facets = KindFacets::facets(all);
    EXPECT_EQ(facets, (QList<KindFacets::Facet>{{"jpg", 3}, {"png", 3}, {"", 2}, {"gif", 1}}));

    struct Case
    {
        std::optional<QString> picked;
        std::optional<QString> effective;
        int shown;
    };
    const QList<Case> cases = {
        {std::nullopt, std::nullopt, 9},
        {QStringLiteral("png"), QStringLiteral("png"), 3},
        {QString(), QString(), 2},
        {QStringLiteral("heic"), std::nullopt, 9}, // gone after a rescan: ignored
    };
    for (const Case &c : cases) {
        const std::optional<QString> effective = KindFacets::effective(c.picked, facets);
        EXPECT_EQ(effective, c.effective);
        EXPECT_EQ(KindFacets::shown(all, effective).size(), c.shown);
    }
    EXPECT_EQ(KindFacets::clicked(std::nullopt, QStringLiteral("pdf")), std::optional<QString>(QStringLiteral("pdf")));
    EXPECT_EQ(KindFacets::clicked(QStringLiteral("pdf"), QStringLiteral("pdf")), std::nullopt);
    EXPECT_EQ(KindFacets::clicked(QStringLiteral("png"), QStringLiteral("pdf")), std::optional<QString>(QStringLiteral("pdf")));
    EXPECT_EQ(KindFacets::title(QString()), QStringLiteral("No extension"));
    EXPECT_EQ(KindFacets::title(QStringLiteral("pdf")), QStringLiteral("PDF"));
}

class KindPageTest : public ::testing::Test
{
protected:
    // A catalog whose scan returns `records`.
    std::unique_ptr<Library> catalog(const QList<FileItem> &records)
    {
        Library::Environment env;
        env.home = tree.path();
        env.demoRoots = Library::Paths{tree.path()};
        env.appDirs = [] { return Library::Paths{}; };
        env.now = [] { return kNow; };
        env.later = [](int ms, std::function<void()> action) { QTimer::singleShot(ms, action); };
        env.scan = [records](const Library::Paths &, const Library::Paths &) { return records; };
        env.folderSize = [](const QByteArray &) { return qint64(0); };
        env.findDuplicates = [](const QList<FileItem> &, const QByteArray &) { return QList<DupGroup>{}; };
        env.cleanupCards = [](const QList<FileItem> &, const QList<DupGroup> &, Millis, const QByteArray &) {
            return QList<CleanupCard>{};
        };
        env.startTextRecognition = [](const QList<FileItem> &) {};
        env.watchFolders = false;
        auto library = std::make_unique<Library>(env);
        library->rescan(false);
        waitUntil([&] { return library->hasScanned() && !library->isScanning(); });
        return library;
    }

    TempTree tree;
    AppState state;
    Thumbs thumbs;
};

TEST_F(KindPageTest, FacetRowRules)
{
    struct Case
    {
        const char *name;
        QStringList files;
        QStringList chips;
    };
    QStringList twelve;
    for (int e = 0; e < 12; ++e) {
        for (int i = 0; i <= e; ++i)
            twelve.append(QStringLiteral("d%1.x%2").arg(i).arg(QChar(u'a' + e)));
    }
    const QList<Case> cases = {
        {"empty", {}, {}},
        {"one extension", {"a.pdf", "b.pdf"}, {}},
        {"two extensions", {"a.pdf", "b.pdf", "c.txt"}, {"All 3*", "PDF 2 ", "TXT 1 "}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        QList<FileItem> records;
        for (const QString &name : c.files)
            records.append(file(name, kNow));
        auto library = catalog(records);
        KindPage page(Kind::document, *library, state, thumbs);
        EXPECT_EQ(chipTitles(page), c.chips);
        if (c.files.isEmpty()) {
            EXPECT_EQ(page.filesPage().emptyState().title(), QStringLiteral("Nothing here yet"));
            EXPECT_EQ(page.filesPage().emptyState().detail(), QStringLiteral("Files will show up here as they arrive."));
            EXPECT_EQ(page.filesPage().emptyState().symbol(), Kinds::symbol(Kind::document));
        }
    }

    // Twelve extensions of the "other" kind: ten chips after "All", with the total.
    QList<FileItem> records;
    for (const QString &name : twelve)
        records.append(file(name, kNow));
    auto library = catalog(records);
    KindPage page(Kind::other, *library, state, thumbs);
    const QStringList chips = chipTitles(page);
    ASSERT_EQ(chips.size(), 11);
    EXPECT_EQ(chips.first(), QStringLiteral("All %1*").arg(twelve.size()));
    EXPECT_EQ(chips[1], QStringLiteral("XL 12 "));
    EXPECT_EQ(chips.last(), QStringLiteral("XC 3 "));
}

TEST_F(KindPageTest, ChipClicksFilterAndASecondClickClears)
{
    auto library = catalog({file("a.pdf", kNow), file("b.pdf", kNow - kDay), file("c.txt", kNow)});
    KindPage page(Kind::document, *library, state, thumbs);
    page.resize(900, 600);
    page.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&page));
    EXPECT_EQ(page.filesPage().pageHeader().subtitle(), QStringLiteral("3 files · 30 bytes"));

    const auto clickChip = [&](int at) {
        QList<FacetChip *> chips = page.chips();
        ASSERT_GT(chips.size(), at);
        QTest::mouseClick(chips[at], Qt::LeftButton, {}, chips[at]->rect().center());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    };
    clickChip(1); // PDF
    EXPECT_EQ(page.pickedExtension(), std::optional<QString>(QStringLiteral("pdf")));
    EXPECT_EQ(page.filesPage().sorted().size(), 2);
    EXPECT_EQ(state.visible().size(), 2);
    EXPECT_EQ(chipTitles(page), (QStringList{"All 3 ", "PDF 2*", "TXT 1 "}));
    clickChip(1); // PDF again
    EXPECT_FALSE(page.pickedExtension().has_value());
    EXPECT_EQ(page.filesPage().sorted().size(), 3);
    clickChip(2); // TXT
    clickChip(0); // All
    EXPECT_FALSE(page.pickedExtension().has_value());
    EXPECT_EQ(state.visible().size(), 3);
}
