#include "tempdir.h"

#include "access/accessibility.h"
#include "files/thumbs.h"
#include "tray/menubarlist.h"
#include "tray/menubarrow.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QApplication>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {

// The row the keyboard is on, or nullptr.
MenuBarRow *focusedRow()
{
    return qobject_cast<MenuBarRow *>(QApplication::focusWidget());
}

} // namespace

// Everything a click does in the list a keyboard does too: the newest file
// has the keyboard when the list opens, Up and Down move between rows and to
// "Open Tovalo", Return and Space open, and Tab reaches the row's "Show in
// Folder", which appears for the keyboard as it does for the pointer.
TEST(DownloadsList, TheKeyboardOpensAndRevealsEveryRow)
{
    TempTree tree;
    for (const char *name : {"a.pdf", "b.png", "c.zip"})
        tree.file(QByteArray("Downloads/") + name);
    const QByteArray folder = tree.path("Downloads");
    Thumbs thumbs;
    MenuBarList list([folder] { return folder; }, thumbs);
    list.show();
    list.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&list));
    const QList<QByteArray> files = list.files();
    ASSERT_EQ(files.size(), 3);
    QSignalSpy opened(&list, &MenuBarList::openRequested);
    QSignalSpy revealed(&list, &MenuBarList::revealRequested);

    list.focusFirst();
    ASSERT_TRUE(focusedRow());
    EXPECT_EQ(focusedRow()->path(), files[0]);
    EXPECT_TRUE(focusedRow()->revealButton()->isVisible());

    MenuBarRow *first = focusedRow();
    QTest::keyClick(first, Qt::Key_Down);
    ASSERT_TRUE(focusedRow());
    EXPECT_EQ(focusedRow()->path(), files[1]);
    EXPECT_FALSE(first->revealButton()->isVisible());
    QTest::keyClick(focusedRow(), Qt::Key_Space);
    ASSERT_EQ(opened.size(), 1);
    EXPECT_EQ(opened.at(0).at(0).toByteArray(), files[1]);

    QTest::keyClick(focusedRow(), Qt::Key_Up);
    QTest::keyClick(focusedRow(), Qt::Key_Up);
    auto *openMain = qobject_cast<QPushButton *>(QApplication::focusWidget());
    ASSERT_TRUE(openMain);
    EXPECT_EQ(openMain->text(), QStringLiteral("Open Tovalo"));
    QTest::keyClick(openMain, Qt::Key_Down);
    ASSERT_TRUE(focusedRow());
    QTest::keyClick(focusedRow(), Qt::Key_Return);
    ASSERT_EQ(opened.size(), 2);
    EXPECT_EQ(opened.at(1).at(0).toByteArray(), files[0]);

    // Past the last row the keyboard stays on it.
    QTest::keyClick(focusedRow(), Qt::Key_Down);
    QTest::keyClick(focusedRow(), Qt::Key_Down);
    QTest::keyClick(focusedRow(), Qt::Key_Down);
    ASSERT_TRUE(focusedRow());
    EXPECT_EQ(focusedRow()->path(), files[2]);

    MenuBarRow *last = focusedRow();
    QTest::keyClick(last, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), last->revealButton());
    EXPECT_TRUE(last->revealButton()->isVisible());
    QTest::keyClick(last->revealButton(), Qt::Key_Space);
    ASSERT_EQ(revealed.size(), 1);
    EXPECT_EQ(revealed.at(0).at(0).toByteArray(), files[2]);
}

TEST(DownloadsList, AScreenReaderReadsEachRowAsAnItemItCanOpen)
{
    Accessibility::install();
    TempTree tree;
    tree.file("Downloads/quarterly report.pdf");
    const QByteArray folder = tree.path("Downloads");
    Thumbs thumbs;
    MenuBarList list([folder] { return folder; }, thumbs);
    list.show();
    auto *row = list.findChild<MenuBarRow *>();
    ASSERT_TRUE(row);
    QSignalSpy opened(&list, &MenuBarList::openRequested);

    QAccessibleInterface *item = QAccessible::queryAccessibleInterface(row);
    ASSERT_TRUE(item);
    EXPECT_EQ(item->role(), QAccessible::ListItem);
    EXPECT_EQ(item->text(QAccessible::Name), QStringLiteral("quarterly report.pdf"));
    EXPECT_TRUE(item->state().focusable);
    ASSERT_TRUE(item->actionInterface());
    item->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    ASSERT_EQ(opened.size(), 1);
    EXPECT_EQ(opened.at(0).at(0).toByteArray(), row->path());
}
