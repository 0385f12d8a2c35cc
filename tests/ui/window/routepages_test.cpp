// Which page each route and search text shows, and what the plain file
// lists say, over a catalog built in memory.
#include "windowtesting.h"

#include "records.h"
#include "shell/routepages.h"

#include <QLocale>

#include <gtest/gtest.h>

namespace {

using Page = RoutePages::Page;

FileItem withSource(FileItem item, const QString &source)
{
    FileItem::Fields f = fieldsFor(item.path());
    f.size = item.size();
    f.modified = f.created = f.added = item.modified();
    f.source = source;
    return FileItem(f);
}

FileItem screenshot(const QByteArray &path, qint64 size)
{
    FileItem::Fields f = fieldsFor(path);
    f.size = size;
    f.modified = f.created = f.added = TestCatalog::kNow - TestCatalog::kDay;
    f.isScreenshot = true;
    return FileItem(f);
}

} // namespace

TEST(RoutePages, RouteAndSearchTextChooseThePage)
{
    struct Case
    {
        Route route;
        QString query;
        Page page;
    };
    const QList<Case> cases = {
        {Route::home(), {}, Page::home},
        {Route::recents(), {}, Page::files},
        {Route::kind(Kind::image), {}, Page::kind},
        {Route::large(), {}, Page::files},
        {Route::screenshots(), {}, Page::files},
        {Route::duplicates(), {}, Page::duplicates},
        {Route::cleanup(), {}, Page::cleanup},
        {Route::cleanupDetail(CleanupKind::downloads), {}, Page::cleanupDetail},
        {Route::sources(), {}, Page::sources},
        {Route::source(QStringLiteral("GitHub")), {}, Page::files},
        {Route::folder("/home/ana/Documents"), {}, Page::files},
        // Spaces and tabs alone are no search; anything else is, whatever the route.
        {Route::kind(Kind::video), QStringLiteral(" \t  "), Page::kind},
        {Route::home(), QStringLiteral(" "), Page::home},
        {Route::home(), QStringLiteral("a"), Page::search},
        {Route::large(), QStringLiteral("  a "), Page::search},
        {Route::cleanup(), QStringLiteral("\n"), Page::search}, // a line break is not white space here
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(qPrintable(c.query));
        SCOPED_TRACE(int(c.route.which()));
        EXPECT_EQ(RoutePages::pageFor(c.route, c.query), c.page);
    }
}

TEST(RoutePages, OcrNote)
{
    struct Case
    {
        int done;
        int total;
        const char *note;
    };
    const QList<Case> cases = {
        {0, 0, " · text inside is searchable"},
        {4203, 4203, " · text inside is searchable"},
        {9, 3, " · text inside is searchable"},
        {120, 4203, " · reading text 120/4203"}, // plain digits, no grouping
        {0, 1, " · reading text 0/1"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(RoutePages::ocrNote(c.done, c.total), QString::fromUtf8(c.note)) << c.done << '/' << c.total;
}

TEST(RoutePages, FolderTitleIsTheLastComponent)
{
    EXPECT_EQ(RoutePages::folderTitle("/home/ana/Documents"), QStringLiteral("Documents"));
    EXPECT_EQ(RoutePages::folderTitle("/home/ana/Documents/"), QStringLiteral("Documents"));
    EXPECT_EQ(RoutePages::folderTitle("/"), QStringLiteral("/"));
    // A name that is not UTF-8 still reads, with a replacement character.
    EXPECT_EQ(RoutePages::folderTitle("/mnt/caf\xe9").size(), 4);
}

class RoutePagesCatalog : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    void SetUp() override
    {
        TestCatalog catalog;
        catalog.disk = {
            record("/home/ana/Downloads/film.mov", 250'000'000, 2),
            record("/home/ana/Documents/scan.pdf", 150'000'000, 3),
            withSource(record("/home/ana/Downloads/a.zip", 2000, 1), QStringLiteral("GitHub")),
            withSource(record("/home/ana/Downloads/b.zip", 3000, 4), QStringLiteral("GitHub")),
            screenshot("/home/ana/Documents/Screenshot from 2025-06-01.png", 1200),
            record("/home/ana/Documents/Taxes/2024.pdf", 5000, 9),
        };
        library = std::make_unique<Library>(catalog.environment());
        scanAndWait(*library);
        library->setOcrProgress(1, 3);
    }

    std::unique_ptr<Library> library;
};

TEST_F(RoutePagesCatalog, FileListTexts)
{
    const QString nothing = QStringLiteral("Nothing here yet");
    const QString arrive = QStringLiteral("Files will show up here as they arrive.");
    struct Case
    {
        Route route;
        RoutePages::FileList list;
    };
    const QList<Case> cases = {
        {Route::recents(),
         {"Recents", "The latest 6 files to arrive or change", library->recents(), "tray", nothing, arrive}},
        {Route::large(),
         {"Large Files", QString::fromUtf8("Over 100 MB · 2 files · 400 MB"), library->largeFiles(), "externaldrive",
          "No large files", "Nothing over 100 MB in your folders."}},
        {Route::screenshots(),
         {"Screenshots", QString::fromUtf8("1 screenshot · 1 KB · reading text 1/3"), library->screenshots(),
          "camera.viewfinder", nothing, arrive}},
        {Route::source(QStringLiteral("GitHub")),
         {"GitHub", QString::fromUtf8("Downloaded from here · 2 files · 5 KB"), library->sources().first().items,
          "tray", nothing, arrive}},
        // A source that went away after a rescan: an empty page.
        {Route::source(QStringLiteral("Gone")),
         {"Gone", QString::fromUtf8("Downloaded from here · 0 files · Zero KB"), {}, "tray", nothing, arrive}},
        {Route::folder("/home/ana/Documents"),
         {"Documents", QString::fromUtf8("~/Documents · 3 files · 150 MB"), library->items("/home/ana/Documents"),
          "folder", nothing, arrive}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(qPrintable(c.list.title));
        const RoutePages::FileList list = RoutePages::fileList(c.route, *library);
        EXPECT_EQ(list.title, c.list.title);
        EXPECT_EQ(list.subtitle, c.list.subtitle);
        EXPECT_EQ(pathsOf(list.items), pathsOf(c.list.items));
        EXPECT_EQ(list.emptySymbol, c.list.emptySymbol);
        EXPECT_EQ(list.emptyTitle, c.list.emptyTitle);
        EXPECT_EQ(list.emptyDetail, c.list.emptyDetail);
    }
    EXPECT_EQ(library->items("/home/ana/Documents").size(), 3);
}
