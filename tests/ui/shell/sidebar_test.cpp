// The sidebar: badge texts, which row is active, and the location rows' menus.
#include "shell/siderow.h"
#include "shell/sidebar.h"
#include "shell/sidebarbadges.h"
#include "shellcatalog.h"

#include "state/appstate.h"
#include "tempdir.h"

#include <QAction>
#include <QLocale>
#include <QMenu>
#include <QTest>

#include <gtest/gtest.h>

using ShellCatalog::file;

namespace {

class SidebarTest : public ::testing::Test
{
protected:
    void SetUp() override { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    TempTree tree;
    AppState state;
};

QList<FileItem> many(const QByteArray &stem, const char *ext, int count, qint64 size = 1000)
{
    QList<FileItem> out;
    for (int i = 0; i < count; ++i)
        out.append(file("/h/" + stem + QByteArray::number(i) + '.' + ext, size));
    return out;
}

DupGroup group(const QString &id, const QList<FileItem> &items)
{
    return {id, items, items.first().path()};
}

QStringList texts(const QMenu &menu)
{
    QStringList out;
    for (const QAction *action : menu.actions())
        out.append(action->text());
    return out;
}

} // namespace

TEST_F(SidebarTest, BadgeTexts)
{
    using Badge = std::optional<QString>;
    QMap<Kind, QList<FileItem>> byKind;
    byKind.insert(Kind::document, many("d", "pdf", 1204));
    byKind.insert(Kind::music, {});
    const QList<FileItem> big = many("v", "mov", 2, 1'700'000'000);
    const QList<FileItem> lone = many("z", "zip", 1);

    struct Case
    {
        const char *name;
        Badge actual;
        Badge expected;
    };
    const QList<Case> cases = {
        {"kind, grouped", SidebarBadges::kind(byKind, Kind::document), QStringLiteral("1,204")},
        {"kind missing", SidebarBadges::kind(byKind, Kind::image), std::nullopt},
        {"large files, plain digits", SidebarBadges::largeFiles(1204), QStringLiteral("1204")},
        {"no large files", SidebarBadges::largeFiles(0), std::nullopt},
        {"screenshots, grouped", SidebarBadges::screenshots(1204), QStringLiteral("1,204")},
        {"no screenshots", SidebarBadges::screenshots(0), std::nullopt},
        {"sources, plain digits", SidebarBadges::sources(1204), QStringLiteral("1204")},
        {"no sources", SidebarBadges::sources(0), std::nullopt},
        // Only the extra copies count: the kept one stays.
        {"duplicates", SidebarBadges::duplicates({group("a", big + many("w", "mov", 1, 1'700'000'000)),
                                                  group("b", lone)}),
         QStringLiteral("3.4 GB")},
        {"duplicates, nothing to free", SidebarBadges::duplicates({group("b", lone)}), std::nullopt},
        {"no duplicate groups", SidebarBadges::duplicates({}), std::nullopt},
        // A file on two cards is freed once.
        {"clean up", SidebarBadges::cleanup({{CleanupKind::videos, big}, {CleanupKind::downloads, big.mid(0, 1)}}),
         QStringLiteral("3.4 GB")},
        {"clean up, empty cards", SidebarBadges::cleanup({{CleanupKind::apps, {}}}), std::nullopt},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.actual, c.expected);
    }
}

TEST_F(SidebarTest, RowsCarryTheCatalogsBadges)
{
    ShellCatalog::Contents contents;
    contents.records = many("d", "pdf", 3) + many("s", "mp3", 1) + many("big", "mov", 2, 1'700'000'000);
    contents.dups = {group("g", many("big", "mov", 2, 1'700'000'000))};
    auto library = ShellCatalog::make(tree.path(), contents);
    Sidebar sidebar(state, *library);

    EXPECT_EQ(sidebar.row(Route::kind(Kind::document))->badge(), std::optional<QString>(QStringLiteral("3")));
    EXPECT_EQ(sidebar.row(Route::kind(Kind::image))->badge(), std::nullopt);
    EXPECT_EQ(sidebar.row(Route::large())->badge(), std::optional<QString>(QStringLiteral("2")));
    EXPECT_EQ(sidebar.row(Route::duplicates())->badge(), std::optional<QString>(QStringLiteral("1.7 GB")));
    EXPECT_TRUE(sidebar.row(Route::duplicates())->strong());
    EXPECT_EQ(sidebar.row(Route::cleanup())->badge(), std::nullopt);
    EXPECT_FALSE(sidebar.row(Route::large())->strong());
    // One row per shelf kind, none for "other".
    EXPECT_EQ(sidebar.row(Route::kind(Kind::other)), nullptr);
}

TEST_F(SidebarTest, ActiveRowIsTheRouteShownWithoutASearch)
{
    auto library = ShellCatalog::make(tree.path(), {});
    Sidebar sidebar(state, *library);
    sidebar.resize(Sidebar::kWidth, 800);
    sidebar.show();
    auto active = [&] {
        QList<Route> out;
        for (SideRow *row : sidebar.rows())
            if (row->isActive())
                out.append(row->route());
        return out;
    };
    EXPECT_EQ(active(), QList<Route>{Route::home()});

    state.go(Route::kind(Kind::video));
    EXPECT_EQ(active(), QList<Route>{Route::kind(Kind::video)});
    state.setQuery(QStringLiteral("a"));
    EXPECT_EQ(active(), QList<Route>{});
    // Any text counts, even blank: the row lights again only once the field is empty.
    state.setQuery(QStringLiteral(" "));
    EXPECT_EQ(active(), QList<Route>{});
    state.setQuery(QString());
    EXPECT_EQ(active(), QList<Route>{Route::kind(Kind::video)});

    // Clicking the active row still clears the search and the selection.
    state.setQuery(QStringLiteral("invoice"));
    state.setSelection({"/h/a.pdf"});
    SideRow *videos = sidebar.row(Route::kind(Kind::video));
    QTest::mouseClick(videos, Qt::LeftButton, {}, videos->rect().center());
    EXPECT_EQ(state.route(), Route::kind(Kind::video));
    EXPECT_TRUE(state.query().isEmpty());
    EXPECT_TRUE(state.selection().isEmpty());
    EXPECT_EQ(active(), QList<Route>{Route::kind(Kind::video)});
}

TEST_F(SidebarTest, LocationMenusOfferRemovalOnlyForAddedFolders)
{
    ShellCatalog::Contents contents;
    const QByteArray documents = tree.folder("Documents");
    const QByteArray projects = tree.folder("Projects");
    contents.standard = {documents, tree.path("Missing")};
    auto library = ShellCatalog::make(tree.path(), contents);
    Sidebar sidebar(state, *library);
    library->pin(projects);

    ASSERT_NE(sidebar.row(Route::folder(documents)), nullptr);
    ASSERT_NE(sidebar.row(Route::folder(projects)), nullptr);
    EXPECT_EQ(sidebar.row(Route::folder(projects))->title(), QStringLiteral("Projects"));
    // A standard folder that does not exist has no row.
    EXPECT_EQ(sidebar.row(Route::folder(tree.path("Missing"))), nullptr);

    std::unique_ptr<QMenu> standard(sidebar.locationMenu(documents));
    EXPECT_EQ(texts(*standard), QStringList{QStringLiteral("Show in Folder")});
    std::unique_ptr<QMenu> pinned(sidebar.locationMenu(projects));
    ASSERT_EQ(texts(*pinned), (QStringList{QStringLiteral("Show in Folder"), QStringLiteral("Remove from Tovalo")}));

    pinned->actions().last()->trigger();
    EXPECT_TRUE(library->pinned().isEmpty());
    EXPECT_EQ(sidebar.row(Route::folder(projects)), nullptr);
    EXPECT_NE(sidebar.row(Route::folder(documents)), nullptr);
}
