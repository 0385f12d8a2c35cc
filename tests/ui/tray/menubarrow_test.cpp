// The tray's downloads rows from the keyboard: Tab reaches each row and then
// its "Show in Folder" button, Return or Space opens, and the button shows
// only while the pointer or the keyboard is on its row.
#include "files/thumbs.h"
#include "tray/menubarrow.h"
#include "tempdir.h"

#include <QApplication>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>
#include <QVBoxLayout>

#include <gtest/gtest.h>

TEST(MenuBarRowKeys, TabReachesRowAndButtonAndKeysOpenAndReveal)
{
    Thumbs thumbs;
    QWidget list;
    auto *column = new QVBoxLayout(&list);
    auto *first = new MenuBarRow("/home/ana/Downloads/a.pdf", thumbs, &list);
    auto *second = new MenuBarRow("/home/ana/Downloads/b.zip", thumbs, &list);
    column->addWidget(first);
    column->addWidget(second);
    list.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&list));
    list.activateWindow();
    QSignalSpy opened(first, &MenuBarRow::openRequested);
    QSignalSpy revealed(first, &MenuBarRow::revealRequested);

    EXPECT_EQ(first->focusPolicy(), Qt::StrongFocus);
    first->setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(waitUntil([&] { return first->hasFocus(); }));
    EXPECT_TRUE(first->revealButton()->isVisible());
    EXPECT_FALSE(second->revealButton()->isVisible());

    struct Case
    {
        Qt::Key key;
        int opens;
    };
    for (const Case &c : {Case{Qt::Key_Return, 1}, Case{Qt::Key_Space, 2}, Case{Qt::Key_A, 2}}) {
        QTest::keyClick(first, c.key);
        EXPECT_EQ(opened.size(), c.opens) << c.key;
    }
    ASSERT_FALSE(opened.isEmpty());
    EXPECT_EQ(opened.first().first().toByteArray(), QByteArray("/home/ana/Downloads/a.pdf"));

    // Tab: the row's button, still shown, and Space on it shows the file.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    ASSERT_TRUE(waitUntil([&] { return first->revealButton()->hasFocus(); }));
    EXPECT_TRUE(first->revealButton()->isVisible());
    QTest::keyClick(first->revealButton(), Qt::Key_Space);
    EXPECT_EQ(revealed.size(), 1);

    // Tab again: the next row, and the first row's button goes away.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    ASSERT_TRUE(waitUntil([&] { return second->hasFocus(); }));
    EXPECT_FALSE(first->revealButton()->isVisible());
    EXPECT_TRUE(second->revealButton()->isVisible());
}
