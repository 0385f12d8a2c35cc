#include "quicktesting.h"
#include "tempdir.h"

#include "access/accessibility.h"
#include "files/filelistview.h"
#include "files/thumbs.h"
#include "quick/quickpanel.h"
#include "quick/quicksearch.h"
#include "quick/quicksearchview.h"
#include "state/appstate.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

namespace {

using Command = QuickModel::Command;

QList<FileItem> tenFiles()
{
    QList<FileItem> out;
    // Newest first, as the catalog orders them.
    for (int i = 0; i < 10; ++i)
        out.append(record("/home/ana/Documents/report-" + QByteArray::number(i) + ".pdf", 100 - i));
    out.append(record("/home/ana/Documents/cat.jpg", 50));
    return out;
}

struct Calls
{
    QList<QByteArray> opened;
    QList<QByteArray> revealed;
    int mainShown = 0;
};

class QuickSearchTest : public testing::Test
{
protected:
    void make(const QList<FileItem> &records, bool scan = true)
    {
        library = catalogOf(records, scan);
        quick = std::make_unique<QuickSearch>(*library, state, thumbs);
        quick->setHooks({[this](const QList<FileItem> &f) { calls.opened.append(f.first().path()); },
                         [this](const QList<FileItem> &f) { calls.revealed.append(f.first().path()); },
                         [this]() { ++calls.mainShown; }});
    }

    void showPanel()
    {
        quick->show();
        ASSERT_TRUE(quick->isVisible());
        ASSERT_TRUE(waitUntil([&] { return quick->panel()->isActiveWindow(); }));
    }

    void type(const QString &text)
    {
        QTest::keyClicks(quick->view()->field(), text);
    }

    void press(int key, Qt::KeyboardModifiers modifiers = {})
    {
        QTest::keyClick(quick->view()->field(), Qt::Key(key), modifiers);
    }

    Thumbs thumbs;
    AppState state;
    std::unique_ptr<Library> library;
    std::unique_ptr<QuickSearch> quick;
    Calls calls;
};

TEST_F(QuickSearchTest, EmptyFieldListsSevenRecentFiles)
{
    make(tenFiles());
    showPanel();
    QuickSearchView *view = quick->view();
    EXPECT_EQ(view->heading(), QStringLiteral("RECENT"));
    const QList<FileItem> rows = view->rows();
    ASSERT_EQ(rows.size(), 7);
    EXPECT_EQ(rows.first().path(), library->recents().first().path());
    EXPECT_TRUE(view->chips().isEmpty());
    EXPECT_EQ(quick->panel()->content()->size(), QSize(660, 440));
    EXPECT_TRUE(view->field()->hasFocus());
}

TEST_F(QuickSearchTest, TypingSearchesTheCatalogShowsChipsAndSelectsTheFirstRow)
{
    make(tenFiles());
    showPanel();
    press(Qt::Key_Down);
    press(Qt::Key_Down);
    EXPECT_EQ(quick->model().index(), 2);
    type(QStringLiteral("images"));
    EXPECT_EQ(quick->model().index(), 0);
    QuickSearchView *view = quick->view();
    EXPECT_EQ(view->heading(), QStringLiteral("FILES"));
    ASSERT_EQ(view->rows().size(), 1);
    EXPECT_EQ(view->rows().first().name(), QStringLiteral("cat.jpg"));
    ASSERT_EQ(view->chips().size(), 1);
    EXPECT_EQ(view->chips().first().id, QStringLiteral("kind"));
    EXPECT_TRUE(view->searching());
}

TEST_F(QuickSearchTest, NoRowsSaysWhetherTheCatalogIsStillReading)
{
    make({}, false);
    showPanel();
    EXPECT_TRUE(quick->view()->rows().isEmpty());
    EXPECT_EQ(quick->view()->emptyText(), QStringLiteral("Still reading your folders…"));
    library->rescan(false);
    ASSERT_TRUE(waitUntil([&] { return library->hasScanned(); }));
    EXPECT_EQ(quick->view()->emptyText(), QStringLiteral("Nothing matched"));

    // Return with nothing to act on leaves the panel where it is.
    for (Qt::KeyboardModifiers modifiers : {Qt::KeyboardModifiers{}, Qt::KeyboardModifiers{Qt::ControlModifier},
                                            Qt::KeyboardModifiers{Qt::AltModifier}})
        press(Qt::Key_Return, modifiers);
    EXPECT_TRUE(quick->isVisible());
    EXPECT_TRUE(calls.opened.isEmpty());
    EXPECT_TRUE(calls.revealed.isEmpty());
    EXPECT_EQ(calls.mainShown, 0);
}

TEST_F(QuickSearchTest, ReturnRoutesTheSelectedFileByModifiers)
{
    struct Case
    {
        Qt::KeyboardModifiers modifiers;
        Command command;
    };
    const Case cases[] = {{{}, Command::open},
                          {Qt::AltModifier, Command::reveal},
                          {Qt::ControlModifier, Command::showInMain},
                          {Qt::ControlModifier | Qt::AltModifier, Command::reveal}};
    make(tenFiles());
    // Between shows another window has the keyboard, as on a desktop; the
    // offscreen platform would otherwise keep the hidden panel as focus window.
    QWidget elsewhere;
    elsewhere.show();
    for (const Case &c : cases) {
        SCOPED_TRACE(c.modifiers.toInt());
        calls = {};
        elsewhere.activateWindow();
        ASSERT_TRUE(waitUntil([&] { return elsewhere.isActiveWindow(); }));
        showPanel();
        press(Qt::Key_Down);
        const FileItem chosen = quick->view()->rows()[1];
        press(Qt::Key_Return, c.modifiers);
        EXPECT_FALSE(quick->isVisible());
        EXPECT_EQ(calls.opened, c.command == Command::open ? QList<QByteArray>{chosen.path()} : QList<QByteArray>{});
        EXPECT_EQ(calls.revealed,
                  c.command == Command::reveal ? QList<QByteArray>{chosen.path()} : QList<QByteArray>{});
        EXPECT_EQ(calls.mainShown, c.command == Command::showInMain ? 1 : 0);
    }
}

TEST_F(QuickSearchTest, ShowInMainWindowSearchesForTheNameWithTheFileSelected)
{
    make(tenFiles());
    state.go(Route::duplicates());
    state.setDroppedChips({QStringLiteral("kind")});
    const FileItem file = library->recents()[3];
    quick->perform(Command::showInMain, file);
    EXPECT_EQ(state.route(), Route::recents());
    EXPECT_EQ(state.query(), file.name());
    EXPECT_TRUE(state.droppedChips().isEmpty());
    EXPECT_EQ(state.selection(), QSet<QByteArray>{file.path()});
    EXPECT_EQ(state.anchor(), std::optional<QByteArray>(file.path()));
    EXPECT_EQ(calls.mainShown, 1);
}

TEST_F(QuickSearchTest, ClickingARowActsOnIt)
{
    make(tenFiles());
    showPanel();
    QuickSearchView *view = quick->view();
    const FileItem third = view->rows()[2];
    // The rows are a file list that acts on a click and leaves the keyboard to the field.
    FileListView *list = view->list();
    EXPECT_EQ(list->focusPolicy(), Qt::NoFocus);
    EXPECT_EQ(view->rowRect(2), list->itemRect(2).translated(list->pos()));
    // A press between rows acts on nothing and leaves the keys' row marked.
    const QPoint between = list->itemRect(0).bottomLeft().toPoint() + QPoint(40, 1);
    ASSERT_EQ(list->rowAt(between), -1);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, between);
    EXPECT_TRUE(calls.opened.isEmpty());
    EXPECT_EQ(list->selection(), QSet<QByteArray>{view->rows()[quick->model().index()].path()});
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->itemRect(2).center().toPoint());
    EXPECT_EQ(quick->model().index(), 2);
    EXPECT_EQ(calls.opened, QList<QByteArray>{third.path()});
    EXPECT_FALSE(quick->isVisible());
}

TEST_F(QuickSearchTest, AScreenReaderReadsTheRowsTheSelectedOneAndActsOnAPress)
{
    Accessibility::install();
    make(tenFiles());
    showPanel();
    QuickSearchView *view = quick->view();
    press(Qt::Key_Down);
    QAccessibleInterface *list = QAccessible::queryAccessibleInterface(view->list());
    ASSERT_TRUE(list);
    EXPECT_EQ(list->role(), QAccessible::List);
    EXPECT_EQ(list->text(QAccessible::Name), QStringLiteral("Quick Search"));
    // The list's own widgets come first, then one child a row.
    const int first = list->childCount() - 7;
    ASSERT_GE(first, 0);
    for (int i = 0; i < 7; ++i) {
        QAccessibleInterface *row = list->child(first + i);
        ASSERT_TRUE(row);
        EXPECT_EQ(row->role(), QAccessible::ListItem) << i;
        EXPECT_TRUE(row->text(QAccessible::Name).startsWith(view->rows()[i].displayName() + ", ")) << i;
        EXPECT_EQ(row->state().selected, i == 1) << i;
    }
    const FileItem third = view->rows()[2];
    ASSERT_TRUE(list->child(first + 2)->actionInterface());
    list->child(first + 2)->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(calls.opened, QList<QByteArray>{third.path()});
    EXPECT_FALSE(quick->isVisible());
}

TEST_F(QuickSearchTest, EscapeAndToggleHideAndTheNextShowStartsAfresh)
{
    make(tenFiles());
    showPanel();
    type(QStringLiteral("report"));
    press(Qt::Key_Down);
    press(Qt::Key_Escape);
    EXPECT_FALSE(quick->isVisible());
    quick->toggle();
    EXPECT_TRUE(quick->isVisible());
    EXPECT_TRUE(quick->model().text().isEmpty());
    EXPECT_TRUE(quick->view()->field()->text().isEmpty());
    EXPECT_EQ(quick->model().index(), 0);
    quick->toggle();
    EXPECT_FALSE(quick->isVisible());
}

TEST_F(QuickSearchTest, LosingTheKeyboardHidesThePanel)
{
    make(tenFiles());
    showPanel();
    type(QStringLiteral("cat"));
    QWidget other;
    other.resize(200, 100);
    other.show();
    other.activateWindow();
    ASSERT_TRUE(waitUntil([&] { return !quick->isVisible(); }));
    EXPECT_TRUE(other.isActiveWindow());
    showPanel();
    EXPECT_TRUE(quick->model().text().isEmpty());
}

TEST(QuickPanelPlace, CentreSitsAtSixtyTwoPercentUpTheAvailableHeight)
{
    struct Case
    {
        QRect available;
        int margin;
        QPoint origin;
    };
    const Case cases[] = {
        // Centre (960, 410.4): 1080 − 0.62 × 1080 from the top.
        {{0, 0, 1920, 1080}, 0, {630, 190}},
        {{0, 0, 1920, 1080}, 26, {604, 164}},
        // A second screen to the right, under a 30-pixel top panel.
        {{1920, 30, 1280, 770}, 0, {2230, 103}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(QuickPanel::origin(c.available, QSize(660, 440), c.margin), c.origin) << c.available.x();
}

TEST(QuickPanelFooter, HintsUseTheLinuxKeys)
{
    QStringList texts;
    for (const QuickSearchView::Hint &hint : QuickSearchView::hints())
        texts.append(hint.key + u' ' + hint.label);
    EXPECT_EQ(texts, (QStringList{QStringLiteral("↩ Open"), QStringLiteral("Ctrl+↩ Show in Tovalo"),
                                  QStringLiteral("Alt+↩ Show in Folder"), QStringLiteral("esc Close")}));
}

} // namespace
