// The main window: which page shows, the top bar's rules, the inspector
// column, the palette and the focus hand-over after the first showing.
#include "windowtesting.h"

#include "components/emptystate.h"
#include "components/pageheader.h"
#include "files/thumbs.h"
#include "home/homepage.h"
#include "tidy/cleanuppage.h"
#include "tidy/cleanupreviewpage.h"
#include "tidy/duplicatespage.h"
#include "tidy/sourcespage.h"
#include "pages/filespage.h"
#include "pages/kindpage.h"
#include "search/searchpage.h"
#include "shell/barbutton.h"
#include "shell/catalogstatus.h"
#include "shell/inspector.h"
#include "shell/mainwindow.h"
#include "shell/pageswitcher.h"
#include "shell/searchbox.h"
#include "shell/sidebar.h"
#include "shell/siderow.h"
#include "shell/sortmenubutton.h"
#include "shell/topbar.h"
#include "shell/windowpalette.h"
#include "state/appstate.h"
#include "state/trasher.h"
#include "tempdir.h"
#include "theme/appearance.h"
#include "theme/theme.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QLocale>
#include <QSemaphore>
#include <QTest>

#include <gtest/gtest.h>

class MainWindowTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    void SetUp() override
    {
        TestCatalog catalog;
        catalog.disk = {record("/home/ana/Documents/alpha.pdf", 5000, 1),
                        record("/home/ana/Documents/beta.jpg", 7000, 2),
                        record("/home/ana/Downloads/gamma.png", 9000, 3)};
        library = std::make_unique<Library>(catalog.environment());
        scanAndWait(*library);
        Trasher::Environment trash;
        trash.library = library.get();
        trash.state = &state;
        trasher = std::make_unique<Trasher>(trash);
        window = std::make_unique<MainWindow>(state, *library, *trasher, thumbs);
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        window->activateWindow();
    }

    QWidget *routed() const { return window->pages().routedPage(); }
    QLineEdit *field() const { return window->searchField(); }

    AppState state;
    Thumbs thumbs;
    std::unique_ptr<Library> library;
    std::unique_ptr<Trasher> trasher;
    std::unique_ptr<MainWindow> window;
};

TEST_F(MainWindowTest, FrameOfTheWindow)
{
    EXPECT_EQ(window->objectName(), QStringLiteral("main"));
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Tovalo"));
    EXPECT_EQ(window->minimumSize(), QSize(780, 500));
    EXPECT_EQ(window->size(), QSize(1220, 800));
    EXPECT_EQ(window->sidebar().width(), 214);
    EXPECT_EQ(window->topBar().height(), 54);
    // Sidebar, rule, then the column: the bar and the page start one point past the sidebar.
    EXPECT_EQ(window->topBar().mapTo(window.get(), QPoint(0, 0)).x(), 215);
    EXPECT_EQ(window->pages().mapTo(window.get(), QPoint(0, 0)).y(),
              window->topBar().mapTo(window.get(), QPoint(0, 0)).y() + 55);
    EXPECT_EQ(window->topBar().searchBox().height(), 34);
    EXPECT_LE(window->topBar().searchBox().width(), 440);
}

TEST_F(MainWindowTest, SearchTextCoversTheRoutedPageAndClearingBringsItBack)
{
    state.go(Route::kind(Kind::image));
    QWidget *kindPage = routed();
    ASSERT_NE(qobject_cast<KindPage *>(kindPage), nullptr);
    EXPECT_EQ(window->page(), kindPage);

    struct Step
    {
        const char *typed;
        bool search;
    };
    const QList<Step> steps = {{" ", false}, {" \t", false}, {" \ta", true}, {" \tab", true}, {"", false}};
    for (const Step &step : steps) {
        SCOPED_TRACE(step.typed);
        // As pasted over the whole text: a tab cannot be typed into the field.
        field()->setFocus();
        field()->selectAll();
        if (*step.typed)
            field()->insert(QString::fromUtf8(step.typed));
        else
            QTest::keyClick(field(), Qt::Key_Backspace);
        EXPECT_EQ(state.query(), QString::fromUtf8(step.typed));
        EXPECT_EQ(window->page() == &window->pages().searchPage(), step.search);
        // Typing never rebuilds the routed page.
        EXPECT_EQ(routed(), kindPage);
    }
    EXPECT_EQ(window->page(), kindPage);
    EXPECT_EQ(state.route(), Route::kind(Kind::image));
}

TEST_F(MainWindowTest, EachRouteShowsItsPage)
{
    struct Case
    {
        Route route;
        const char *page;
    };
    const QList<Case> cases = {
        {Route::recents(), FilesPage::staticMetaObject.className()},
        {Route::kind(Kind::music), KindPage::staticMetaObject.className()},
        {Route::large(), FilesPage::staticMetaObject.className()},
        {Route::screenshots(), FilesPage::staticMetaObject.className()},
        {Route::duplicates(), DuplicatesPage::staticMetaObject.className()},
        {Route::cleanup(), CleanupPage::staticMetaObject.className()},
        {Route::cleanupDetail(CleanupKind::installers), CleanupReviewPage::staticMetaObject.className()},
        {Route::sources(), SourcesPage::staticMetaObject.className()},
        {Route::source(QStringLiteral("GitHub")), FilesPage::staticMetaObject.className()},
        {Route::folder("/home/ana/Documents"), FilesPage::staticMetaObject.className()},
        {Route::home(), HomePage::staticMetaObject.className()},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.page);
        state.go(c.route);
        EXPECT_STREQ(window->page()->metaObject()->className(), c.page);
        EXPECT_EQ(window->page(), routed());
        EXPECT_EQ(window->pages().filesPage() != nullptr, RoutePages::isFileList(c.route));
    }
}

TEST_F(MainWindowTest, KindPagesAreNewPerKindAndFileListsFollowTheCatalog)
{
    state.go(Route::kind(Kind::image));
    auto *images = qobject_cast<KindPage *>(routed());
    ASSERT_NE(images, nullptr);
    images->pick(QStringLiteral("png"));
    state.go(Route::kind(Kind::image)); // the same destination keeps its page and filter
    EXPECT_EQ(routed(), images);
    EXPECT_EQ(images->pickedExtension(), QStringLiteral("png"));
    state.go(Route::kind(Kind::document));
    auto *documents = qobject_cast<KindPage *>(routed());
    ASSERT_NE(documents, nullptr);
    EXPECT_EQ(documents->kind(), Kind::document);
    EXPECT_FALSE(documents->pickedExtension());

    state.go(Route::recents());
    FilesPage *recents = window->pages().filesPage();
    ASSERT_NE(recents, nullptr);
    EXPECT_EQ(window->page(), recents);
    EXPECT_EQ(recents->pageHeader().title(), QStringLiteral("Recents"));
    EXPECT_EQ(recents->pageHeader().subtitle(), QStringLiteral("The latest 3 files to arrive or change"));
    EXPECT_EQ(state.visible().size(), 3);
    library->remove({"/home/ana/Documents/beta.jpg"});
    EXPECT_EQ(recents->pageHeader().subtitle(), QStringLiteral("The latest 2 files to arrive or change"));
    EXPECT_EQ(state.visible().size(), 2);

    state.go(Route::source(QStringLiteral("Nowhere")));
    ASSERT_NE(window->pages().filesPage(), nullptr);
    EXPECT_TRUE(window->pages().filesPage()->emptyState().isVisibleTo(window.get()));
    EXPECT_EQ(window->pages().filesPage()->emptyState().title(), QStringLiteral("Nothing here yet"));
}

TEST_F(MainWindowTest, EscapeClearsAndReleasesTheClearButtonKeepsFocus)
{
    field()->setFocus();
    ASSERT_TRUE(waitUntil([&] { return field()->hasFocus(); }));
    QTest::keyClicks(field(), QStringLiteral("pdf"));
    EXPECT_EQ(state.query(), QStringLiteral("pdf"));
    EXPECT_FALSE(window->topBar().searchBox().showsHint());
    ASSERT_TRUE(window->topBar().clearButton()->isVisible());

    QTest::mouseClick(window->topBar().clearButton(), Qt::LeftButton);
    EXPECT_EQ(state.query(), QString());
    EXPECT_EQ(field()->text(), QString());
    EXPECT_TRUE(field()->hasFocus());
    EXPECT_TRUE(window->topBar().searchBox().showsHint());
    EXPECT_NE(window->page(), &window->pages().searchPage());

    QTest::keyClicks(field(), QStringLiteral("pdf"));
    QTest::keyClick(field(), Qt::Key_Escape);
    EXPECT_EQ(state.query(), QString());
    EXPECT_EQ(field()->text(), QString());
    EXPECT_FALSE(field()->hasFocus());
    EXPECT_NE(window->page(), &window->pages().searchPage());
    // The keyboard rests on the page's files, not on nothing.
    ASSERT_NE(window->fileView(), nullptr);
    EXPECT_EQ(window->focusWidget(), window->fileView());

    // The Find command's request brings the focus back.
    state.setFocusSearch(state.focusSearch() + 1);
    EXPECT_TRUE(field()->hasFocus());
}

TEST_F(MainWindowTest, EditingSwitchesChipsBackOnAndClearsTheSelection)
{
    field()->setFocus();
    QTest::keyClicks(field(), QStringLiteral("pdfs alpha"));
    ASSERT_FALSE(state.visible().isEmpty());
    state.select(state.visible().first(), false, false);
    state.setDroppedChips({QStringLiteral("kind")});
    ASSERT_FALSE(state.selection().isEmpty());
    QTest::keyClick(field(), Qt::Key_Backspace);
    EXPECT_TRUE(state.droppedChips().isEmpty());
    EXPECT_TRUE(state.selection().isEmpty());
    // A change from elsewhere (a launch option, a command) does the same.
    state.setDroppedChips({QStringLiteral("kind")});
    state.setQuery(QStringLiteral("pdfs"));
    EXPECT_TRUE(state.droppedChips().isEmpty());
    EXPECT_EQ(field()->text(), QStringLiteral("pdfs"));
}

TEST_F(MainWindowTest, InspectorToggleAddsARuleAndAColumn)
{
    const int full = window->pages().width();
    EXPECT_FALSE(window->inspector().isVisible());
    window->topBar().inspectorButton().click();
    EXPECT_TRUE(state.showInspector());
    EXPECT_TRUE(window->topBar().inspectorButton().isOn());
    ASSERT_TRUE(waitUntil([&] { return window->pages().width() == full - 265; }));
    EXPECT_EQ(window->inspector().width(), 264);
    window->topBar().inspectorButton().click();
    EXPECT_FALSE(state.showInspector());
    ASSERT_TRUE(waitUntil([&] { return window->pages().width() == full; }));
}

TEST_F(MainWindowTest, BarButtonsSetTheWindowState)
{
    window->topBar().listButton().click();
    EXPECT_TRUE(state.listMode());
    EXPECT_TRUE(window->topBar().listButton().isOn());
    EXPECT_FALSE(window->topBar().gridButton().isOn());
    window->topBar().gridButton().click();
    EXPECT_FALSE(state.listMode());
    EXPECT_TRUE(window->topBar().gridButton().isOn());
    EXPECT_EQ(window->topBar().gridButton().toolTip(), QStringLiteral("Grid (Ctrl+1)"));
    EXPECT_EQ(window->topBar().listButton().toolTip(), QStringLiteral("List (Ctrl+2)"));
    EXPECT_EQ(window->topBar().refreshButton().toolTip(), QStringLiteral("Refresh (Ctrl+R)"));
    EXPECT_EQ(window->topBar().inspectorButton().toolTip(), QStringLiteral("Inspector (Ctrl+I)"));
}

TEST_F(MainWindowTest, FocusLeavesTheSearchFieldAfterTheFirstShowing)
{
    MainWindow second(state, *library, *trasher, thumbs);
    second.show();
    // Before any event is handled, so the hand-over cannot have run yet.
    second.searchField()->setFocus();
    ASSERT_EQ(second.focusWidget(), second.searchField());
    ASSERT_TRUE(waitUntil([&] { return second.focusWidget() != second.searchField(); }));
    // To the page's files, so the file keys work from the first press.
    EXPECT_EQ(second.focusWidget(), second.fileView());
    // Only windows named "main" are touched.
    QWidget other;
    other.setObjectName(QStringLiteral("settings"));
    auto *text = new QLineEdit(&other);
    other.show();
    text->setFocus();
    second.searchField()->setFocus();
    AppState::releaseSearchFocus();
    EXPECT_EQ(other.focusWidget(), text);
    EXPECT_NE(second.focusWidget(), second.searchField());
}

TEST_F(MainWindowTest, ReleasingTheSearchFieldGivesTheKeyboardToThePagesFiles)
{
    for (const Route &route : {Route::recents(), Route::home(), Route::kind(Kind::document)}) {
        state.go(route);
        field()->setFocus();
        ASSERT_TRUE(waitUntil([&] { return field()->hasFocus(); }));
        AppState::releaseSearchFocus();
        QWidget *view = window->fileView();
        ASSERT_NE(view, nullptr);
        EXPECT_TRUE(view->property("fileView").toBool()) << view->metaObject()->className();
        EXPECT_TRUE(window->page()->isAncestorOf(view));
        EXPECT_EQ(window->focusWidget(), view);
        // Focus elsewhere is left alone.
        window->topBar().gridButton().setFocus(Qt::TabFocusReason);
        AppState::releaseSearchFocus();
        EXPECT_EQ(window->focusWidget(), &window->topBar().gridButton());
    }
}

TEST_F(MainWindowTest, ChangingPagesKeepsTheKeyboardOnTheFiles)
{
    state.go(Route::recents());
    window->focusFiles();
    ASSERT_EQ(window->focusWidget(), window->fileView());
    // The old page goes away with the keyboard in it: the new page's files take
    // it, rather than the next stop of the Tab chain.
    for (const Route &route : {Route::kind(Kind::document), Route::home(), Route::duplicates(), Route::recents()}) {
        state.go(route);
        QWidget *focus = window->focusWidget();
        ASSERT_NE(focus, nullptr);
        EXPECT_TRUE(window->page() == focus || window->page()->isAncestorOf(focus))
            << focus->metaObject()->className();
        if (window->fileView()) {
            EXPECT_EQ(focus, window->fileView());
        }
    }
    // Going somewhere from the sidebar leaves the keyboard in the sidebar.
    window->sidebar().setFocus(Qt::TabFocusReason);
    state.go(Route::home());
    EXPECT_EQ(window->focusWidget(), &window->sidebar());
}

TEST_F(MainWindowTest, TabVisitsSidebarSearchBarButtonsThenThePage)
{
    state.go(Route::recents());
    window->sidebar().setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(waitUntil([&] { return window->sidebar().hasFocus(); }));
    QList<QWidget *> seen{window->focusWidget()};
    for (int i = 0; i < 8; ++i) {
        QTest::keyClick(window->focusWidget(), Qt::Key_Tab);
        seen.append(window->focusWidget());
    }
    TopBar &bar = window->topBar();
    const QList<QWidget *> expected{&window->sidebar(), field(),
                                    &bar.sortButton(), &bar.gridButton(),
                                    &bar.listButton(), &bar.refreshButton(),
                                    &bar.inspectorButton(), window->fileView(),
                                    &window->sidebar()};
    EXPECT_EQ(seen, expected);
}

TEST_F(MainWindowTest, TheSidebarIsOneListMovedWithTheArrows)
{
    Sidebar &sidebar = window->sidebar();
    state.go(Route::recents());
    sidebar.setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(waitUntil([&] { return sidebar.hasFocus(); }));
    // The keyboard starts on the page shown, and the row shows it.
    const QList<QAbstractButton *> entries = sidebar.entries();
    ASSERT_EQ(entries.at(sidebar.current()), sidebar.row(Route::recents()));
    EXPECT_TRUE(sidebar.row(Route::recents())->hasFocusMark());
    QTest::keyClick(&sidebar, Qt::Key_Down);
    EXPECT_FALSE(sidebar.row(Route::recents())->hasFocusMark());
    auto *next = qobject_cast<SideRow *>(entries.at(sidebar.current()));
    ASSERT_NE(next, nullptr);
    EXPECT_TRUE(next->hasFocusMark());
    // The file keys do not steal the arrows or Return from it.
    QTest::keyClick(&sidebar, Qt::Key_Return);
    EXPECT_EQ(state.route(), next->route());
    QTest::keyClick(&sidebar, Qt::Key_Up);
    QTest::keyClick(&sidebar, Qt::Key_Space);
    EXPECT_EQ(state.route(), Route::recents());
    // The last entry is "Add a folder…".
    QTest::keyClick(&sidebar, Qt::Key_End);
    EXPECT_EQ(entries.at(sidebar.current()), sidebar.addFolderButton());
    window->topBar().gridButton().setFocus(Qt::TabFocusReason);
    EXPECT_EQ(sidebar.current(), -1);
}

TEST_F(MainWindowTest, PaletteFollowsTheAppearance)
{
    for (bool dark : {true, false}) {
        Appearance::shared().setForcedDark(dark);
        EXPECT_EQ(window->palette().color(QPalette::Window), Theme::bg.resolve(dark));
        EXPECT_EQ(window->palette().color(QPalette::Text), Theme::ink.resolve(dark));
        EXPECT_EQ(field()->palette().color(QPalette::Text), Theme::ink.resolve(dark));
        EXPECT_EQ(field()->palette().color(QPalette::PlaceholderText), Theme::ink3.resolve(dark));
    }
}

TEST(CatalogStatus, SpinnerWhileTheCatalogIsBusyThenTheSize)
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    QSemaphore scanning;
    TestCatalog catalog;
    catalog.disk = {record("/home/ana/Documents/a.pdf", 1'250'000'000, 1)};
    Library::Environment env = catalog.environment();
    env.scan = [&scanning, disk = catalog.disk](const Library::Paths &, const Library::Paths &) {
        scanning.acquire();
        return disk;
    };
    Library library(env);
    CatalogStatus status(library);
    status.show();
    EXPECT_FALSE(status.showsSpinner());
    EXPECT_EQ(status.text(), QStringLiteral("Library Zero KB"));
    library.rescan(false);
    EXPECT_TRUE(status.showsSpinner());
    EXPECT_EQ(status.sizeHint(), QSize(CatalogStatus::kSpinnerSide, CatalogStatus::kSpinnerSide));
    scanning.release();
    ASSERT_TRUE(waitUntil([&] { return library.hasScanned() && !library.busy(); }));
    EXPECT_FALSE(status.showsSpinner());
    EXPECT_EQ(status.text(), QStringLiteral("Library 1.25 GB"));
    // A quiet rescan shows no progress.
    library.rescan(true);
    EXPECT_FALSE(status.showsSpinner());
    scanning.release();
    ASSERT_TRUE(waitUntil([&] { return !library.isScanning(); }));
}
