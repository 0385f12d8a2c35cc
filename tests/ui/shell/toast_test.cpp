// The toast follows the Trasher's message and Undo offer, and stays centred above the bottom edge.
#include "shell/toast.h"
#include "access/accessibility.h"
#include "shellcatalog.h"

#include "state/trasher.h"
#include "tempdir.h"

#include <QAccessible>
#include <QTest>

#include <gtest/gtest.h>

TEST(Toast, VisibilityAndUndoFollowTheTrasher)
{
    TempTree tree;
    auto library = ShellCatalog::make(tree.path(), {});
    // Message time-outs run when the test says so.
    QList<std::function<void()>> timeouts;
    Trasher::Environment env;
    env.library = library.get();
    env.later = [&](int, std::function<void()> action) { timeouts.append(std::move(action)); };
    Trasher trasher(env);

    QWidget host;
    host.resize(700, 500);
    Toast toast(trasher, &host);
    host.show();
    EXPECT_FALSE(toast.isVisible());

    trasher.show(QStringLiteral("Moved 2 items to the Trash · 4 KB freed"), true);
    ASSERT_TRUE(waitUntil([&] { return toast.isVisible() && toast.presence() == 1; }));
    EXPECT_EQ(toast.message(), QStringLiteral("Moved 2 items to the Trash · 4 KB freed"));
    EXPECT_TRUE(toast.showsUndo());
    EXPECT_EQ(toast.geometry().bottom() + 1, host.height() - Toast::kBottomMargin);
    EXPECT_LE(std::abs(toast.geometry().center().x() - host.width() / 2), 1);

    host.resize(900, 600);
    EXPECT_EQ(toast.geometry().bottom() + 1, host.height() - Toast::kBottomMargin);
    EXPECT_LE(std::abs(toast.geometry().center().x() - host.width() / 2), 1);

    // Undo puts the (empty) batch back; the new message has no Undo of its own.
    QTest::mouseClick(&toast, Qt::LeftButton, {}, toast.undoRect().center().toPoint());
    ASSERT_TRUE(waitUntil([&] { return toast.message().startsWith(QStringLiteral("Put back")); }));
    EXPECT_FALSE(toast.showsUndo());
    EXPECT_TRUE(toast.undoRect().isEmpty());
    EXPECT_TRUE(toast.isVisible());

    // The latest message's time-out clears it, and the capsule leaves.
    ASSERT_FALSE(timeouts.isEmpty());
    timeouts.takeLast()();
    ASSERT_FALSE(trasher.message());
    EXPECT_TRUE(waitUntil([&] { return !toast.isVisible() && !toast.isShowing(); }));
}

TEST(Toast, UndoIsReachedByKeyboardAndReadAsAnAlertWithAButton)
{
    Accessibility::install();
    TempTree tree;
    auto library = ShellCatalog::make(tree.path(), {});
    Trasher::Environment env;
    env.library = library.get();
    env.later = [](int, std::function<void()>) {};
    Trasher trasher(env);

    QWidget host;
    host.resize(700, 500);
    Toast toast(trasher, &host);
    host.show();
    EXPECT_EQ(toast.focusPolicy(), Qt::NoFocus);

    const QString message = QStringLiteral("Moved 1 item to the Trash · 4 KB freed");
    trasher.show(message, true);
    ASSERT_TRUE(waitUntil([&] { return toast.isVisible() && toast.showsUndo(); }));
    // Tab reaches it only while Undo is offered.
    EXPECT_EQ(toast.focusPolicy(), Qt::TabFocus);

    QAccessibleInterface *alert = QAccessible::queryAccessibleInterface(&toast);
    ASSERT_NE(alert, nullptr);
    EXPECT_EQ(alert->role(), QAccessible::AlertMessage);
    EXPECT_EQ(alert->text(QAccessible::Name), message);
    ASSERT_EQ(alert->childCount(), 1);
    QAccessibleInterface *undo = alert->child(0);
    ASSERT_NE(undo, nullptr);
    EXPECT_EQ(undo->role(), QAccessible::Button);
    EXPECT_EQ(undo->text(QAccessible::Name), QStringLiteral("Undo"));
    EXPECT_EQ(alert->indexOfChild(undo), 0);

    toast.setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(waitUntil([&] { return toast.hasFocus(); }));
    QTest::keyClick(&toast, Qt::Key_Return);
    ASSERT_TRUE(waitUntil([&] { return toast.message().startsWith(QStringLiteral("Put back")); }));
    EXPECT_FALSE(toast.showsUndo());
    EXPECT_EQ(toast.focusPolicy(), Qt::NoFocus);
    EXPECT_EQ(alert->childCount(), 0);
    EXPECT_TRUE(alert->text(QAccessible::Name).startsWith(QStringLiteral("Put back")));
}
