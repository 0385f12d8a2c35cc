#include "records.h"
#include "library/library.h"
#include "tempdir.h"

#include <QSettings>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include <deque>
#include <mutex>

namespace {

FileItem record(const QByteArray &path, Kind kind, qint64 size = 1, Millis modified = 1000)
{
    FileItem::Fields f;
    f.path = path;
    f.kind = kind;
    f.size = size;
    f.modified = f.created = f.added = modified;
    return FileItem(f);
}

// Stands in for the disk, the clock and the timers, so the catalog's rules
// can be checked without sleeping.
struct FakeWorld
{
    std::mutex lock;
    QList<FileItem> disk;
    int scans = 0;
    Millis now = 1'000'000;
    std::deque<std::pair<Millis, std::function<void()>>> timers;
    QHash<QByteArray, qint64> appSizes;
    std::function<QList<DupGroup>(const QList<FileItem> &)> duplicates;

    Library::Environment environment(const QByteArray &home = "/home/ana")
    {
        Library::Environment env;
        env.home = home;
        env.demoRoots = Library::Paths{home + "/Documents"};
        env.appDirs = [] { return Library::Paths{"/Applications"}; };
        env.now = [this] { return now; };
        env.later = [this](int delay, std::function<void()> action) {
            timers.emplace_back(now + delay, std::move(action));
        };
        env.scan = [this](const Library::Paths &, const Library::Paths &) {
            std::lock_guard guard(lock);
            ++scans;
            return disk;
        };
        env.folderSize = [this](const QByteArray &path) {
            std::lock_guard guard(lock);
            return appSizes.value(path);
        };
        env.findDuplicates = [this](const QList<FileItem> &items, const QByteArray &) {
            return duplicates ? duplicates(items) : QList<DupGroup>{};
        };
        env.watchFolders = false;
        return env;
    }

    // Moves the clock on, firing the timers that fall due.
    void advance(Millis ms)
    {
        const Millis until = now + ms;
        for (;;) {
            auto next = std::min_element(timers.begin(), timers.end(),
                                         [](const auto &a, const auto &b) { return a.first < b.first; });
            if (next == timers.end() || next->first > until)
                break;
            now = next->first;
            auto action = std::move(next->second);
            timers.erase(next);
            action();
        }
        now = until;
    }
};

void scanAndWait(Library &library)
{
    library.rescan(false);
    ASSERT_TRUE(waitUntil([&] { return !library.isScanning(); }));
}

} // namespace

TEST(Library, PublishesNewestFirstWithDerivedLists)
{
    FakeWorld world;
    world.disk = {record("/d/old.pdf", Kind::document, 5, 100),
                  record("/d/new.mov", Kind::video, 100'000'000, 900),
                  record("/d/mid.mov", Kind::video, 99'999'999, 500),
                  record("/d/Huge.app", Kind::app, 0, 950),
                  record("/d/tie-a.txt", Kind::document, 1, 500)};
    world.appSizes["/d/Huge.app"] = 2'000'000'000;
    Library library(world.environment());
    QSignalSpy sized(&library, &Library::appsSized);
    scanAndWait(library);
    ASSERT_TRUE(waitUntil([&] { return sized.count() == 1; }));

    EXPECT_EQ(pathsOf(library.items()), (QList<QByteArray>{"/d/Huge.app", "/d/new.mov", "/d/mid.mov",
                                                         "/d/tie-a.txt", "/d/old.pdf"}));
    EXPECT_EQ(library.items().first().size(), 2'000'000'000);
    EXPECT_EQ(pathsOf(library.largeFiles()), (QList<QByteArray>{"/d/new.mov"}));
    EXPECT_EQ(library.byKind().value(Kind::video).size(), 2);
    EXPECT_FALSE(library.byKind().contains(Kind::music));
    EXPECT_EQ(library.sizeByKind().value(Kind::video), 199'999'999);
    EXPECT_EQ(library.totalSize(), 2'000'000'000LL + 199'999'999 + 6);
    EXPECT_EQ(library.recents().size(), 4); // never the application
    EXPECT_TRUE(library.hasScanned());
}

// A window's catalog comes ranked by name, ready for a name sort; a
// command's catalog skips that work. Both are in the same order.
TEST(Library, AWindowsCatalogComesRankedByName)
{
    for (const bool browse : {true, false}) {
        FakeWorld world;
        world.disk = {record("/d/b.txt", Kind::document, 1, 100), record("/d/A.txt", Kind::document, 1, 300),
                      record("/d/c.txt", Kind::document, 1, 200)};
        Library::Environment env = world.environment();
        env.prepareForBrowsing = browse;
        Library library(std::move(env));
        scanAndWait(library);
        ASSERT_EQ(library.items().size(), 3);
        EXPECT_EQ(pathsOf(library.items()), (QList<QByteArray>{"/d/A.txt", "/d/c.txt", "/d/b.txt"}));
        const quint16 ranking = library.items().first().nameRanking();
        EXPECT_EQ(ranking != 0, browse);
        if (browse) {
            // A.txt, b.txt, c.txt by name.
            EXPECT_LT(library.items().at(0).nameRank(), library.items().at(2).nameRank());
            EXPECT_LT(library.items().at(2).nameRank(), library.items().at(1).nameRank());
            for (const FileItem &item : library.items())
                EXPECT_EQ(item.nameRanking(), ranking);
        }
    }
}

TEST(Library, RecentsSkipApplicationsAndStopAt150)
{
    FakeWorld world;
    for (int i = 0; i < 200; ++i)
        world.disk.append(record("/a/App" + QByteArray::number(i) + ".app", Kind::app, 0, 5000 + i));
    for (int i = 0; i < 10; ++i)
        world.disk.append(record("/d/doc" + QByteArray::number(i) + ".txt", Kind::document, 1, i));
    Library library(world.environment());
    scanAndWait(library);
    EXPECT_EQ(library.recents().size(), 10);

    world.disk.clear();
    for (int i = 0; i < 400; ++i)
        world.disk.append(record("/d/f" + QByteArray::number(i), Kind::other, 1, i));
    scanAndWait(library);
    EXPECT_EQ(library.recents().size(), Library::kRecentCount);
    EXPECT_EQ(library.recents().first().path(), "/d/f399");
}

TEST(Library, AQuietRequestThenALoudOneStartOneQuietScan)
{
    FakeWorld world;
    Library library(world.environment());
    library.rescan(true);
    library.rescan(false);
    EXPECT_TRUE(library.isScanning());
    EXPECT_FALSE(library.busy());
    ASSERT_TRUE(waitUntil([&] { return !library.isScanning(); }));
    EXPECT_EQ(world.scans, 1);
}

TEST(Library, ApplicationSizesAreRememberedWhileTheBundleIsUnchanged)
{
    FakeWorld world;
    world.disk = {record("/A/Paint.app", Kind::app, 0, 100)};
    world.appSizes["/A/Paint.app"] = 4096;
    Library library(world.environment());
    QSignalSpy sized(&library, &Library::appsSized);

    library.rescan(false);
    ASSERT_TRUE(waitUntil([&] { return library.hasScanned(); }));
    if (sized.isEmpty()) {
        EXPECT_EQ(library.items().first().size(), 0); // not measured yet
    }
    ASSERT_TRUE(waitUntil([&] { return sized.count() == 1; }));
    EXPECT_EQ(library.items().first().size(), 4096);

    world.appSizes["/A/Paint.app"] = 1; // a new measurement would show
    library.rescan(false);
    ASSERT_TRUE(waitUntil([&] { return !library.isScanning(); }));
    EXPECT_EQ(library.items().first().size(), 4096); // straight from memory

    world.disk = {record("/A/Paint.app", Kind::app, 0, 200)}; // the bundle changed
    library.rescan(false);
    ASSERT_TRUE(waitUntil([&] { return sized.count() == 3; }));
    EXPECT_EQ(library.items().first().size(), 1);
}

TEST(Library, ResultsOfAnOlderScanAreDropped)
{
    FakeWorld world;
    world.disk = {record("/d/a", Kind::other), record("/d/b", Kind::other)};
    std::mutex gate;
    gate.lock(); // holds the first duplicate search until a second scan was applied
    std::atomic<int> searches{0};
    std::atomic<int> finished{0};
    world.duplicates = [&](const QList<FileItem> &items) {
        const int ordinal = ++searches;
        if (ordinal == 1) {
            gate.lock();
            gate.unlock();
        }
        ++finished;
        DupGroup g;
        g.id = QString::number(ordinal);
        g.items = items;
        g.keep = items.first().path();
        return QList<DupGroup>{g};
    };
    Library library(world.environment());
    scanAndWait(library);
    EXPECT_TRUE(library.dupScanning());
    scanAndWait(library);
    ASSERT_TRUE(waitUntil([&] { return !library.dupGroups().isEmpty(); }));
    gate.unlock();
    ASSERT_TRUE(waitUntil([&] { return finished.load() == 2; }));
    waitUntil([] { return false; }, std::chrono::milliseconds(200)); // let a stale result arrive
    EXPECT_EQ(library.dupGroups().first().id, "2");
    EXPECT_FALSE(library.dupScanning());
}

TEST(Library, RemoveForgetsFilesAndMendsDuplicateGroups)
{
    FakeWorld world;
    world.disk = {record("/d/a1", Kind::other, 1, 9), record("/d/a2", Kind::other, 1, 8),
                  record("/d/b1", Kind::other, 2, 7), record("/d/b2", Kind::other, 2, 6),
                  record("/d/b3", Kind::other, 2, 5)};
    world.duplicates = [](const QList<FileItem> &items) {
        DupGroup a{"a", {items[0], items[1]}, items[0].path()};
        DupGroup b{"b", {items[2], items[3], items[4]}, items[2].path()};
        return QList<DupGroup>{a, b};
    };
    Library library(world.environment());
    scanAndWait(library);
    ASSERT_TRUE(waitUntil([&] { return library.dupGroups().size() == 2; }));

    library.keep("/d/b3", "b");
    EXPECT_EQ(library.dupGroups().at(1).keep, "/d/b3");
    library.keep("/d/a2", "no-such-group");

    library.remove({"/d/a2", "/d/b3"});
    EXPECT_EQ(pathsOf(library.items()), (QList<QByteArray>{"/d/a1", "/d/b1", "/d/b2"}));
    ASSERT_EQ(library.dupGroups().size(), 1);
    EXPECT_EQ(library.dupGroups().first().id, "b");
    EXPECT_EQ(library.dupGroups().first().keep, "/d/b1"); // the kept copy left: the first remaining
    EXPECT_EQ(library.totalSize(), 5);
}

TEST(Library, PinsAndFolders)
{
    TempTree home;
    home.folder("Documents/Work");
    home.folder("Downloads");
    QSettings settings(QString::fromUtf8(home.path("settings.ini")), QSettings::IniFormat);
    FakeWorld world;
    Library::Environment env = world.environment(home.path());
    env.demoRoots.reset();
    env.standardCandidates = {home.path("Desktop"), home.path("Documents"), home.path("Downloads")};
    env.downloads = home.path("Downloads");
    env.settings = &settings;
    Library library(std::move(env));

    EXPECT_EQ(library.standardFolders(), (Library::Paths{home.path("Documents"), home.path("Downloads")}));
    EXPECT_EQ(library.downloadsFolder(), home.path("Downloads"));

    library.pin(home.path("Documents")); // already read: nothing happens
    EXPECT_FALSE(library.isScanning());
    EXPECT_TRUE(library.pinned().isEmpty());

    library.pin(home.path("Documents/Work"));
    EXPECT_TRUE(library.isScanning());
    EXPECT_EQ(library.locations().last(), home.path("Documents/Work"));
    ASSERT_TRUE(waitUntil([&] { return !library.isScanning(); }));
    EXPECT_EQ(settings.value("pinned").toStringList(),
              QStringList{QString::fromUtf8(home.path("Documents/Work"))});

    Library again(world.environment(home.path()));
    EXPECT_TRUE(again.pinned().isEmpty()); // no settings given: no pins
    Library::Environment reread = world.environment(home.path());
    reread.settings = &settings;
    EXPECT_EQ(Library(std::move(reread)).pinned(), Library::Paths{home.path("Documents/Work")});

    library.unpin(home.path("Documents/Work"));
    EXPECT_TRUE(library.pinned().isEmpty());
    EXPECT_TRUE(settings.value("pinned").toStringList().isEmpty());
}

TEST(Library, ItemsInAFolderUseAWholeFolderPrefix)
{
    FakeWorld world;
    world.disk = {record("/u/ana/Documents/a", Kind::other), record("/u/ana/Doc/b", Kind::other)};
    Library library(world.environment());
    scanAndWait(library);
    EXPECT_EQ(pathsOf(library.items("/u/ana/Doc")), QList<QByteArray>{"/u/ana/Doc/b"});
    EXPECT_EQ(pathsOf(library.items("/u/ana/Doc/")), QList<QByteArray>{"/u/ana/Doc/b"});
}

TEST(Library, TheDownloadFolderIsTheOneUserDirsNames)
{
    TempTree home;
    home.folder("Téléchargements");
    home.file(".config/user-dirs.dirs", "# written by xdg-user-dirs-update\n"
                                         "XDG_DESKTOP_DIR=\"$HOME/Bureau\"\n"
                                         "XDG_DOWNLOAD_DIR=\"$HOME/Téléchargements\"\n");
    const QByteArray oldHome = qgetenv("HOME"), oldConfig = qgetenv("XDG_CONFIG_HOME");
    qputenv("HOME", home.path());
    qputenv("XDG_CONFIG_HOME", home.path(".config"));
    const Library::Environment env = Library::Environment::fromProcess();
    EXPECT_EQ(env.downloads, home.path("Téléchargements"));

    // A user who switched the folder off has it pointing at home: there is none.
    home.file(".config/user-dirs.dirs", "XDG_DOWNLOAD_DIR=\"$HOME/\"\n");
    EXPECT_EQ(Library::Environment::fromProcess().downloads, QByteArray());
    qputenv("HOME", oldHome);
    qputenv("XDG_CONFIG_HOME", oldConfig);
    if (oldConfig.isEmpty())
        qunsetenv("XDG_CONFIG_HOME");
}

TEST(Library, EveryDownloadsRuleGetsTheDownloadFolder)
{
    struct Case
    {
        const char *what;
        std::optional<Library::Paths> demoRoots;
        QByteArray downloads;
        QByteArray expected;
    };
    const Case cases[] = {
        {"localized", std::nullopt, "/home/ana/Téléchargements", "/home/ana/Téléchargements"},
        {"none", std::nullopt, "", ""},
        {"demonstration roots", Library::Paths{"/demo/Documents", "/demo/Downloads"}, "/home/ana/Téléchargements",
         "/demo/Downloads"},
        {"demonstration without one", Library::Paths{"/demo/Documents"}, "/home/ana/Downloads", ""},
    };
    for (const Case &c : cases) {
        FakeWorld world;
        QByteArray ranked = "unset", sorted = "unset";
        Library::Environment env = world.environment();
        env.demoRoots = c.demoRoots;
        env.downloads = c.downloads;
        env.findDuplicates = [&ranked](const QList<FileItem> &, const QByteArray &downloads) {
            ranked = downloads;
            return QList<DupGroup>{};
        };
        env.cleanupCards = [&sorted](const QList<FileItem> &, const QList<DupGroup> &, Millis,
                                     const QByteArray &downloads) {
            sorted = downloads;
            return QList<CleanupCard>{};
        };
        Library library(std::move(env));
        scanAndWait(library);
        ASSERT_TRUE(waitUntil([&] { return !library.dupScanning(); })) << c.what;
        EXPECT_EQ(library.downloadsFolder(), c.expected) << c.what;
        EXPECT_EQ(ranked, c.expected) << c.what;
        EXPECT_EQ(sorted, c.expected) << c.what;
    }
}

TEST(Library, RootsFromTheEnvironment)
{
    qputenv("TOVALO_ROOTS", "/tmp/a::/tmp/b");
    EXPECT_EQ(Library::Environment::fromProcess().demoRoots, (Library::Paths{"/tmp/a", "/tmp/b"}));
    qputenv("TOVALO_ROOTS", "");
    EXPECT_EQ(Library::Environment::fromProcess().demoRoots, Library::Paths{});
    qunsetenv("TOVALO_ROOTS");
    EXPECT_FALSE(Library::Environment::fromProcess().demoRoots.has_value());
}

TEST(Library, AutomaticRefreshStartsAtMostOnceEveryEightSeconds)
{
    FakeWorld world;
    Library library(world.environment());
    library.filesChanged(); // before the first scan: ignored
    EXPECT_TRUE(world.timers.empty());
    scanAndWait(library);
    const int scansBefore = world.scans;

    library.filesChanged();
    world.advance(499);
    EXPECT_EQ(world.scans, scansBefore);
    world.advance(1); // the first refresh: after half a second
    ASSERT_TRUE(waitUntil([&] { return !library.isScanning(); }));
    EXPECT_EQ(world.scans, scansBefore + 1);

    world.advance(2000); // a refresh happened two seconds ago
    library.filesChanged();
    world.advance(300);
    library.filesChanged();
    world.advance(300);
    library.filesChanged();
    ASSERT_EQ(world.timers.size(), 1u);
    EXPECT_EQ(world.timers.front().first - world.now, 6000 - 600);
    world.advance(5399);
    EXPECT_EQ(world.scans, scansBefore + 1);
    world.advance(1);
    EXPECT_TRUE(library.isScanning());
    EXPECT_FALSE(library.busy());
    ASSERT_TRUE(waitUntil([&] { return !library.isScanning(); }));
    EXPECT_EQ(world.scans, scansBefore + 2);
}

TEST(Library, AChangeDuringAScanIsServedAfterIt)
{
    FakeWorld world;
    Library library(world.environment());
    scanAndWait(library);
    world.lock.lock(); // holds the next scan
    library.rescan(false);
    library.filesChanged();
    world.advance(8000);
    EXPECT_EQ(world.timers.size(), 1u); // rescheduled, not lost
    world.lock.unlock();
    ASSERT_TRUE(waitUntil([&] { return !library.isScanning(); }));
    const int scans = world.scans;
    world.advance(8000);
    ASSERT_TRUE(waitUntil([&] { return !library.isScanning(); }));
    EXPECT_EQ(world.scans, scans + 1);
}

TEST(Library, TheUsersKeeperOutlivesAQuietRescanWhileItIsStillInItsGroup)
{
    FakeWorld world;
    world.disk = {record("/d/a1", Kind::other, 1, 9), record("/d/a2", Kind::other, 1, 8),
                  record("/d/a3", Kind::other, 1, 7)};
    world.duplicates = [&](const QList<FileItem> &items) {
        QList<FileItem> copies;
        for (const FileItem &item : items)
            copies.append(item);
        return QList<DupGroup>{{"a", copies, copies.first().path()}};
    };
    Library library(world.environment());
    scanAndWait(library);
    ASSERT_TRUE(waitUntil([&] { return library.dupGroups().size() == 1; }));
    library.keep("/d/a3", "a");

    // A new copy arrives: the group is found again, and the choice holds.
    world.disk.append(record("/d/a4", Kind::other, 1, 6));
    library.rescan(true);
    ASSERT_TRUE(waitUntil([&] { return library.dupGroups().first().items.size() == 4; }));
    EXPECT_EQ(library.dupGroups().first().keep, "/d/a3");

    // Once the chosen copy leaves the group, the search's own choice stands.
    world.disk.removeAt(2);
    library.rescan(true);
    ASSERT_TRUE(waitUntil([&] { return library.dupGroups().first().items.size() == 3; }));
    EXPECT_EQ(library.dupGroups().first().keep, "/d/a1");
}

TEST(Library, ADuplicateSearchFinishingAfterAMoveToTheTrashListsNoTrashedFile)
{
    FakeWorld world;
    world.disk = {record("/d/a1", Kind::other, 1, 9), record("/d/a2", Kind::other, 1, 8),
                  record("/d/b1", Kind::other, 2, 7), record("/d/b2", Kind::other, 2, 6),
                  record("/d/b3", Kind::other, 2, 5)};
    std::mutex gate;
    gate.lock(); // holds the search until files have left
    world.duplicates = [&](const QList<FileItem> &items) {
        std::lock_guard hold(gate);
        return QList<DupGroup>{{"a", {items[0], items[1]}, items[0].path()},
                               {"b", {items[2], items[3], items[4]}, items[2].path()}};
    };
    Library library(world.environment());
    scanAndWait(library);
    library.remove({"/d/a2", "/d/b1"});
    gate.unlock();
    ASSERT_TRUE(waitUntil([&] { return !library.dupScanning(); }));
    ASSERT_EQ(library.dupGroups().size(), 1);
    EXPECT_EQ(pathsOf(library.dupGroups().first().items), (QList<QByteArray>{"/d/b2", "/d/b3"}));
    EXPECT_EQ(library.dupGroups().first().keep, "/d/b2");
}

TEST(Library, AFolderPinnedDuringAScanIsScannedRightAfter)
{
    TempTree home;
    home.folder("Documents");
    home.folder("Projects");
    FakeWorld world;
    Library library(world.environment(home.path()));
    scanAndWait(library);
    const int before = world.scans;
    world.lock.lock(); // holds the next scan
    library.rescan(false);
    library.pin(home.path("Projects"));
    world.lock.unlock();
    ASSERT_TRUE(waitUntil([&] { return world.scans == before + 2 && !library.isScanning(); }));
}
