#include "tempdir.h"

#include "tray/latestdownloads.h"

#include <QFile>

#include <fcntl.h>
#include <sys/stat.h>

#include <cstdio>

#include <gtest/gtest.h>

namespace {

using Entry = LatestDownloads::Entry;

Millis changed(const QByteArray &path)
{
    struct statx st;
    if (statx(AT_FDCWD, path.constData(), AT_SYMLINK_NOFOLLOW, STATX_CTIME, &st) != 0)
        return kDistantPast;
    return Millis(st.stx_ctime.tv_sec) * 1000 + st.stx_ctime.tv_nsec / 1'000'000;
}

// Changes the entry's metadata until its change time is later than `after`:
// file-system clocks tick coarsely, so two quick changes may share a time.
Millis touchAfter(const QByteArray &path, Millis after)
{
    waitUntil([&] {
        chmod(path.constData(), 0644);
        return changed(path) > after;
    });
    return changed(path);
}

QList<QByteArray> names(const QList<QByteArray> &paths)
{
    QList<QByteArray> out;
    for (const QByteArray &p : paths)
        out.append(p.mid(p.lastIndexOf('/') + 1));
    return out;
}

} // namespace

TEST(LatestDownloads, NewestFirstStableAndLimited)
{
    const QList<Entry> entries = {{"/d/a", 30}, {"/d/b", 10}, {"/d/c", 30}, {"/d/d", kDistantPast}, {"/d/e", 20}};
    EXPECT_EQ(LatestDownloads::newest(entries), (QList<QByteArray>{"/d/a", "/d/c", "/d/e", "/d/b", "/d/d"}));
    EXPECT_EQ(LatestDownloads::newest(entries, 2), (QList<QByteArray>{"/d/a", "/d/c"}));
    EXPECT_TRUE(LatestDownloads::newest({}).isEmpty());
}

TEST(LatestDownloads, TwentyFiveArrivalsGiveTheTenNewest)
{
    TempTree tree;
    QList<QByteArray> made;
    for (int i = 0; i < 25; ++i)
        made.append(tree.file("Downloads/file-" + QByteArray::number(i).rightJustified(2, '0') + ".txt"));
    // Arrive in a shuffled order: every seventh file modulo 25.
    QList<QByteArray> arrivals;
    Millis last = kDistantPast;
    for (int i = 0; i < 25; ++i) {
        const QByteArray &path = made[(i * 7) % 25];
        last = touchAfter(path, last);
        arrivals.prepend(path);
    }
    const QList<QByteArray> latest = LatestDownloads::latest(tree.path("Downloads"));
    EXPECT_EQ(latest, arrivals.mid(0, 10));
}

TEST(LatestDownloads, FewFilesHiddenNeverFoldersListed)
{
    TempTree tree;
    const QByteArray a = tree.file("Downloads/a.pdf");
    tree.file("Downloads/.hidden-partial.crdownload");
    tree.folder("Downloads/.cache");
    const QByteArray folder = tree.folder("Downloads/photos");
    const QByteArray b = tree.file("Downloads/b.zip");
    Millis last = touchAfter(a, kDistantPast);
    last = touchAfter(folder, last);
    touchAfter(b, last);
    EXPECT_EQ(names(LatestDownloads::latest(tree.path("Downloads"))), (QList<QByteArray>{"b.zip", "photos", "a.pdf"}));
}

TEST(LatestDownloads, AFileMovedInLaterSortsByItsArrivalNotItsBirth)
{
    TempTree tree;
    const QByteArray old = tree.file("Elsewhere/old-report.pdf");
    const Millis born = changed(old);
    const QByteArray fresh = tree.file("Downloads/fresh.png");
    touchAfter(fresh, born);
    // A rename into the folder keeps the birth time and sets the change time.
    const QByteArray moved = tree.path("Downloads/old-report.pdf");
    // The file-system clock first moves past the fresh file's arrival.
    touchAfter(tree.file("Elsewhere/clock"), changed(fresh));
    ASSERT_EQ(rename(old.constData(), moved.constData()), 0);
    EXPECT_EQ(names(LatestDownloads::latest(tree.path("Downloads"))),
              (QList<QByteArray>{"old-report.pdf", "fresh.png"}));
}

TEST(LatestDownloads, UnreadableFolderGivesNothing)
{
    TempTree tree;
    EXPECT_TRUE(LatestDownloads::latest(tree.path("missing")).isEmpty());
    const QByteArray odd = tree.file("Downloads/caf\xe9-latin1.txt");
    EXPECT_EQ(LatestDownloads::latest(tree.path("Downloads")), QList<QByteArray>{odd});
}
