#include "folderwatcher.h"
#include "tempdir.h"

#include <QElapsedTimer>

#include <gtest/gtest.h>

#include <cstdio>

namespace {

constexpr auto kWait = std::chrono::milliseconds(FolderWatcher::kLatencyMs * 3);

// Waits past one batch window, so whatever was going to be reported has been.
void settle()
{
    waitUntil([] { return false; }, std::chrono::milliseconds(FolderWatcher::kLatencyMs + 700));
}

struct Counter
{
    int calls = 0;
    std::function<void()> callback()
    {
        return [this] { ++calls; };
    }
};

void watchAndSettle(FolderWatcher &w, const QList<QByteArray> &folders, Counter &c)
{
    w.watch(folders, c.callback());
    ASSERT_TRUE(waitUntil([&] { return w.isSettled(); }));
}

} // namespace

TEST(FolderWatcher, ABurstOfChangesIsOneBatch)
{
    TempTree t;
    t.folder("root/sub/deeper");
    FolderWatcher w;
    Counter c;
    watchAndSettle(w, {t.path("root")}, c);
    EXPECT_EQ(w.watchCount(), 3);

    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < 60; ++i)
        t.file("root/sub/deeper/f" + QByteArray::number(i) + ".txt", "data");
    ASSERT_TRUE(waitUntil([&] { return c.calls > 0; }, kWait));
    EXPECT_GE(clock.elapsed(), FolderWatcher::kLatencyMs - 100); // gathered, not passed on at once
    settle();
    EXPECT_EQ(c.calls, 1);
}

TEST(FolderWatcher, NewFoldersAreWatchedAsTheyAppear)
{
    TempTree t;
    t.folder("root");
    FolderWatcher w;
    Counter c;
    watchAndSettle(w, {t.path("root")}, c);
    t.folder("root/new/inner");
    ASSERT_TRUE(waitUntil([&] { return c.calls == 1 && w.watchCount() >= 2; }, kWait));
    ASSERT_TRUE(waitUntil([&] { return w.isSettled(); }));
    settle();
    const int before = c.calls;
    t.file("root/new/inner/late.txt");
    EXPECT_TRUE(waitUntil([&] { return c.calls > before; }, kWait));
}

TEST(FolderWatcher, OnlyTheWatchedFoldersAndOnlyAfterWatchStarts)
{
    TempTree t;
    t.folder("watched");
    t.folder("elsewhere");
    FolderWatcher w;
    Counter c;
    t.file("watched/before.txt");
    watchAndSettle(w, {t.path("watched")}, c);
    t.file("elsewhere/x.txt");
    settle();
    EXPECT_EQ(c.calls, 0);
}

TEST(FolderWatcher, TheSameListKeepsTheStreamAndItsCallback)
{
    TempTree t;
    t.folder("a");
    t.folder("b");
    FolderWatcher w;
    Counter first, second, third;
    watchAndSettle(w, {t.path("a"), t.path("b")}, first);
    w.watch({t.path("a"), t.path("b")}, second.callback());
    t.file("a/x.txt");
    ASSERT_TRUE(waitUntil([&] { return first.calls == 1; }, kWait));
    EXPECT_EQ(second.calls, 0);

    watchAndSettle(w, {t.path("b"), t.path("a")}, third); // another order replaces it
    t.file("b/y.txt");
    ASSERT_TRUE(waitUntil([&] { return third.calls == 1; }, kWait));
    EXPECT_EQ(first.calls, 1);
}

TEST(FolderWatcher, AnEmptyListStopsWatching)
{
    TempTree t;
    t.folder("a");
    FolderWatcher w;
    Counter c, none;
    watchAndSettle(w, {t.path("a")}, c);
    w.watch({}, none.callback());
    EXPECT_EQ(w.watchCount(), 0);
    t.file("a/x.txt");
    settle();
    EXPECT_EQ(c.calls + none.calls, 0);
}

TEST(FolderWatcher, SkipsFoldersTheFilterRejectsAndMissingRoots)
{
    TempTree t;
    t.folder("a/node_modules/pkg");
    t.folder("a/src");
    FolderWatcher w([](const char *name) { return std::strcmp(name, "node_modules") != 0; });
    Counter c;
    watchAndSettle(w, {t.path("missing"), t.path("a")}, c);
    EXPECT_EQ(w.watchCount(), 2); // a and a/src
    t.file("a/node_modules/pkg/x.js");
    settle();
    EXPECT_EQ(c.calls, 0);
}

TEST(FolderWatcher, TakesAShareOfTheFreeWatchesOnly)
{
    struct Case
    {
        qsizetype limit, inUse, budget;
    };
    for (const Case c : {Case{8192, 0, 4096}, Case{8192, 8000, 96}, Case{100, 100, 0}, Case{100, 150, 0}})
        EXPECT_EQ(FolderWatcher::budget(c.limit, c.inUse), c.budget) << c.limit << ' ' << c.inUse;
}

TEST(FolderWatcher, ShallowFoldersComeFirstWhenWatchesRunShort)
{
    TempTree t;
    // Every branch is deep, so a depth-first walk would spend the budget down one of them.
    for (const QByteArray folder : {"root/a/deep/deeper", "root/b/deep/deeper", "root/c/deep/deeper"})
        t.folder(folder);
    EXPECT_FALSE(FolderWatcher::someFoldersUnwatched());
    auto limited = std::make_unique<FolderWatcher>();
    FolderWatcher &w = *limited;
    w.setWatchLimit(4);
    Counter c;
    watchAndSettle(w, {t.path("root")}, c);
    EXPECT_EQ(w.watchCount(), 4);
    EXPECT_FALSE(w.isComplete());
    EXPECT_TRUE(FolderWatcher::someFoldersUnwatched()); // what the settings window tells
    for (const QByteArray folder : {"root/a", "root/b", "root/c"}) {
        SCOPED_TRACE(folder.constData());
        const int before = c.calls;
        t.file(folder + "/new.txt");
        EXPECT_TRUE(waitUntil([&] { return c.calls == before + 1; }, kWait));
    }
    const int before = c.calls;
    t.file("root/a/deep/new.txt");
    settle();
    EXPECT_EQ(c.calls, before);
    limited.reset();
    EXPECT_FALSE(FolderWatcher::someFoldersUnwatched());

    FolderWatcher all;
    Counter unused;
    watchAndSettle(all, {t.path("root")}, unused);
    EXPECT_EQ(all.watchCount(), 10);
    EXPECT_TRUE(all.isComplete());
}
