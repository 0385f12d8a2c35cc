#include "library/library.h"
#include "library/scanner.h"
#include "state/appstate.h"
#include "state/trasher.h"
#include "tempdir.h"
#include "trashtesting.h"

#include <gtest/gtest.h>
#include <mutex>
#include <QCryptographicHash>
#include <QLocale>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace TrashTesting;

namespace {

// The main loop's one-shot timers, driven by a clock the test moves.
struct FakeTimers
{
    qint64 now = 0;
    std::vector<std::pair<qint64, std::function<void()>>> pending;

    std::function<void(int, std::function<void()>)> later()
    {
        return [this](int delay, std::function<void()> action) {
            pending.emplace_back(now + delay, std::move(action));
        };
    }

    void advance(qint64 ms)
    {
        const qint64 until = now + ms;
        for (;;) {
            auto next =
                std::min_element(pending.begin(), pending.end(),
                                 [](const auto &a, const auto &b) { return a.first < b.first; });
            if (next == pending.end() || next->first > until)
                break;
            now = next->first;
            auto action = std::move(next->second);
            pending.erase(next);
            action();
        }
        now = until;
    }
};

class TrasherTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        Library::Environment env;
        env.home = tree.path("home");
        env.demoRoots = Library::Paths{tree.path("files")};
        env.appDirs = [] { return Library::Paths{}; };
        env.now = [] { return Millis(1'700'000'000'000); };
        env.later = [](int, std::function<void()>) {};
        env.scan = [this](const Library::Paths &, const Library::Paths &) {
            std::lock_guard guard(lock);
            ++scans;
            return disk;
        };
        env.findDuplicates = [this](const QList<FileItem> &, const QByteArray &) {
            std::lock_guard guard(lock);
            return groups;
        };
        env.watchFolders = false;
        library = std::make_unique<Library>(std::move(env));
        trasher = std::make_unique<Trasher>(Trasher::Environment{
            library.get(), &state, FreedesktopTrash(config(data)), timers.later()});
    }

    void TearDown() override
    {
        trasher.reset();
        library.reset();
        QLocale::setDefault(QLocale::c());
    }

    // A file of `size` bytes under files/, as the catalog records it.
    FileItem file(const QByteArray &relative, qint64 size)
    {
        QByteArray bytes(size, '\0');
        for (qint64 i = 0; i < size; ++i)
            bytes[i] = char(QRandomGenerator::global()->bounded(256));
        FileItem::Fields f;
        f.path = tree.file("files/" + relative, bytes);
        f.size = size;
        return FileItem(f);
    }

    FileItem missing(const QByteArray &relative, qint64 size)
    {
        FileItem::Fields f;
        f.path = tree.path("files/" + relative);
        f.size = size;
        return FileItem(f);
    }

    void catalog(const QList<FileItem> &items, const QList<DupGroup> &dups = {})
    {
        {
            std::lock_guard guard(lock);
            disk = items;
            groups = dups;
        }
        library->rescan(false);
        ASSERT_TRUE(waitUntil([&] { return !library->isScanning(); }));
        ASSERT_TRUE(waitUntil([&] { return library->dupGroups().size() == dups.size(); }));
    }

    int scanCount()
    {
        std::lock_guard guard(lock);
        return scans;
    }

    QString message() const { return trasher->message().value_or(QStringLiteral("<none>")); }

    TempTree tree;
    QByteArray data = tree.folder("home/.local/share");
    std::mutex lock;
    QList<FileItem> disk;
    QList<DupGroup> groups;
    int scans = 0;
    FakeTimers timers;
    AppState state;
    std::unique_ptr<Library> library;
    std::unique_ptr<Trasher> trasher;
};

QList<QByteArray> pathsOf(const QList<FileItem> &items)
{
    QList<QByteArray> out;
    for (const FileItem &i : items)
        out.append(i.path());
    return out;
}

} // namespace

TEST_F(TrasherTest, OneFileOffersUndoForTwelveSecondsAndTheBatchOutlivesTheToast)
{
    const FileItem a = file("a.bin", 2048);
    catalog({a});
    QSignalSpy messages(trasher.get(), &Trasher::messageChanged);
    trasher->trash({a});
    EXPECT_EQ(message(), "Moved 1 item to the Trash · 2 KB freed");
    EXPECT_TRUE(trasher->canUndo());
    EXPECT_FALSE(exists(a.path()));
    EXPECT_TRUE(library->items().isEmpty());

    timers.advance(Trasher::kUndoMessageMs - 1);
    EXPECT_TRUE(trasher->message().has_value());
    timers.advance(1);
    EXPECT_FALSE(trasher->message().has_value());
    EXPECT_FALSE(trasher->canUndo());
    EXPECT_EQ(messages.count(), 2);

    const int before = scanCount();
    trasher->undo();
    EXPECT_EQ(message(), "Put back 1 item");
    EXPECT_FALSE(trasher->canUndo());
    EXPECT_TRUE(exists(a.path()));
    EXPECT_TRUE(trasher->lastBatch().isEmpty());
    ASSERT_TRUE(waitUntil([&] { return scanCount() == before + 1 && !library->isScanning(); }));
    EXPECT_EQ(pathsOf(library->items()), QList<QByteArray>{a.path()});
    timers.advance(Trasher::kMessageMs);
    EXPECT_FALSE(trasher->message().has_value());
}

TEST_F(TrasherTest, APartialFailureMovesWhatItCanAndUndoReturnsOnlyThat)
{
    const FileItem a = file("a.bin", 2048);
    const FileItem b = missing("gone.bin", 5000);
    const FileItem c = file("copy of a.bin", 2048);
    DupGroup group;
    group.id = QStringLiteral("g");
    group.items = {a, c};
    group.keep = a.path();
    catalog({a, b, c}, {group});
    state.setSelection({a.path(), b.path(), c.path()});
    QSignalSpy moved(trasher.get(), &Trasher::moved);
    QSignalSpy failed(trasher.get(), &Trasher::moveFailed);

    trasher->trash({a, b});
    EXPECT_EQ(message(), "Moved 1 item to the Trash · 2 KB freed (1 could not be moved)");
    EXPECT_TRUE(trasher->canUndo());
    ASSERT_EQ(moved.count(), 1);
    EXPECT_EQ(moved.first().first().value<QSet<QByteArray>>(), QSet<QByteArray>{a.path()});
    ASSERT_EQ(failed.count(), 1);
    EXPECT_EQ(failed.first().first().toByteArray(), b.path());
    EXPECT_TRUE(failed.first().last().toString().startsWith(QStringLiteral("No such file")));
    // Gone from the catalog, its group and the selection at once, before any rescan.
    EXPECT_EQ(pathsOf(library->items()), (QList<QByteArray>{b.path(), c.path()}));
    EXPECT_TRUE(library->dupGroups().isEmpty());
    EXPECT_EQ(state.selection(), (QSet<QByteArray>{b.path(), c.path()}));
    ASSERT_EQ(trasher->lastBatch().size(), 1);
    EXPECT_EQ(trasher->lastBatch().first().from, a.path());

    trasher->undo();
    EXPECT_EQ(message(), "Put back 1 item");
    EXPECT_TRUE(exists(a.path()));
}

TEST_F(TrasherTest, WhenNothingMovesThereIsNoUndoAndTheEarlierBatchIsForgotten)
{
    const FileItem a = file("a.bin", 10);
    catalog({a});
    trasher->trash({a});
    trasher->trash({missing("x", 100), missing("y", 200)});
    EXPECT_EQ(message(), "Moved 0 items to the Trash · Zero KB freed (2 could not be moved)");
    EXPECT_FALSE(trasher->canUndo());
    timers.advance(Trasher::kMessageMs - 1);
    EXPECT_TRUE(trasher->message().has_value());
    timers.advance(1);
    EXPECT_FALSE(trasher->message().has_value());

    trasher->undo();
    EXPECT_EQ(message(), "Put back 0 items");
    EXPECT_FALSE(exists(a.path()));
}

TEST_F(TrasherTest, ASecondBatchOwnsTheToastAndTheUndo)
{
    const FileItem a = file("a.bin", 3000);
    const FileItem b = file("b.bin", 1);
    catalog({a, b});
    trasher->trash({a});
    timers.advance(6000);
    trasher->trash({b});
    EXPECT_EQ(message(), "Moved 1 item to the Trash · 1 byte freed");
    timers.advance(6000); // the first countdown ends here and clears nothing
    EXPECT_EQ(message(), "Moved 1 item to the Trash · 1 byte freed");
    EXPECT_TRUE(trasher->canUndo());
    timers.advance(Trasher::kUndoMessageMs - 6000 - 1);
    EXPECT_TRUE(trasher->canUndo());
    timers.advance(1);
    EXPECT_FALSE(trasher->message().has_value());

    trasher->undo();
    EXPECT_EQ(message(), "Put back 1 item");
    EXPECT_TRUE(exists(b.path()));
    EXPECT_FALSE(exists(a.path()));
}

TEST_F(TrasherTest, AnotherConfirmationHidesUndoAtOnceAndClosesAfterFourSeconds)
{
    const FileItem a = file("a.bin", 10);
    catalog({a});
    trasher->trash({a});
    QSignalSpy messages(trasher.get(), &Trasher::messageChanged);
    QSignalSpy undos(trasher.get(), &Trasher::canUndoChanged);
    trasher->show(QStringLiteral("Copied text"), false);
    trasher->show(QStringLiteral("Copied text"), false);
    EXPECT_EQ(message(), "Copied text");
    EXPECT_FALSE(trasher->canUndo());
    EXPECT_EQ(messages.count(), 1); // an equal value is not written again
    EXPECT_EQ(undos.count(), 1);
    timers.advance(Trasher::kMessageMs);
    EXPECT_FALSE(trasher->message().has_value());
    // The Undo button went away with the toast; the batch did not.
    EXPECT_EQ(trasher->lastBatch().size(), 1);
}

TEST_F(TrasherTest, AnEmptyListDoesNothingAtAll)
{
    const FileItem a = file("a.bin", 10);
    catalog({a});
    trasher->trash({a});
    const auto pendingBefore = timers.pending.size();
    QSignalSpy messages(trasher.get(), &Trasher::messageChanged);
    trasher->trash({});
    EXPECT_EQ(messages.count(), 0);
    EXPECT_EQ(timers.pending.size(), pendingBefore);
    EXPECT_EQ(trasher->lastBatch().size(), 1);
}

TEST_F(TrasherTest, UndoAfterTheTrashWasEmptiedCountsWhatIsStillThereAndRescans)
{
    QList<FileItem> items;
    for (const char *name : {"a", "b", "c"})
        items.append(file(name, 100));
    catalog(items);
    trasher->trash(items);
    for (const Trasher::Move &m : trasher->lastBatch())
        ASSERT_EQ(::unlink(m.to.constData()), 0);
    const int before = scanCount();
    trasher->undo();
    EXPECT_EQ(message(), "Put back 0; 3 are still in the Trash");
    ASSERT_TRUE(waitUntil([&] { return scanCount() == before + 1; }));
}

// Nothing is ever lost: every byte comes back to exactly the place it left.
TEST_F(TrasherTest, FifteenHundredFilesComeBackByteForByte)
{
    QHash<QByteArray, QByteArray> digests;
    QList<FileItem> items;
    for (int i = 0; i < 1500; ++i) {
        const QByteArray name = "f" + QByteArray::number(i % 30) + "/file " +
                                QByteArray::number(i) + (i % 7 == 0 ? " same name.txt" : ".bin");
        items.append(file(name, QRandomGenerator::global()->bounded(8192)));
        digests.insert(items.last().path(), QCryptographicHash::hash(contents(items.last().path()),
                                                                     QCryptographicHash::Sha256));
    }
    catalog(items);
    trasher->trash(items);
    EXPECT_TRUE(message().startsWith(QStringLiteral("Moved 1,500 items to the Trash · ")))
        << message().toStdString();
    EXPECT_FALSE(message().contains(QStringLiteral("could not")));
    EXPECT_TRUE(library->items().isEmpty());
    for (const FileItem &item : items)
        ASSERT_FALSE(exists(item.path()));

    trasher->undo();
    EXPECT_EQ(message(), "Put back 1,500 items");
    for (const FileItem &item : items) {
        SCOPED_TRACE(item.path().toStdString());
        ASSERT_EQ(QCryptographicHash::hash(contents(item.path()), QCryptographicHash::Sha256),
                  digests.value(item.path()));
    }
    EXPECT_TRUE(entries(data + "/Trash/files").isEmpty());
    EXPECT_TRUE(entries(data + "/Trash/info").isEmpty());
    qsizetype found = 0;
    for (int f = 0; f < 30; ++f)
        found += entries(tree.path("files/f" + QByteArray::number(f))).size();
    EXPECT_EQ(found, 1500);
}

TEST_F(TrasherTest, APartialUndoOfALargeBatchCountsInPlainDigits)
{
    QList<FileItem> items;
    for (int i = 0; i < 1200; ++i)
        items.append(file("many/" + QByteArray::number(i), 1));
    catalog(items);
    trasher->trash(items);
    EXPECT_EQ(message(), "Moved 1,200 items to the Trash · 1 KB freed");
    const QList<Trasher::Move> batch = trasher->lastBatch();
    for (int i = 0; i < 3; ++i)
        ASSERT_EQ(::unlink(batch.at(i).to.constData()), 0);
    tree.file("files/many/10", "taken"); // something new now holds one old place
    trasher->undo();
    EXPECT_EQ(message(), "Put back 1196; 4 are still in the Trash");
    EXPECT_EQ(contents(tree.path("files/many/10")), "taken");
    EXPECT_TRUE(exists(batch.at(10).to));
    EXPECT_TRUE(exists(tree.path("files/many/11")));
}

// What can happen to a catalogued file between the scan and the move.
enum class Change
{
    none,
    replaced,     // another file now stands at the path
    grown,        // rewritten in place with more bytes
    touched,      // same bytes, a new modification time
    removed,      // gone altogether
};

void apply(Change change, const QByteArray &path)
{
    switch (change) {
    case Change::none:
        break;
    case Change::replaced: {
        const QByteArray before = contents(path);
        ASSERT_EQ(::unlink(path.constData()), 0);
        QFile f(QFile::decodeName(path));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(before); // even the same bytes and size make it another file
        break;
    }
    case Change::grown: {
        QFile f(QFile::decodeName(path));
        ASSERT_TRUE(f.open(QIODevice::Append));
        f.write("more");
        break;
    }
    case Change::touched: {
        const struct timespec times[2] = {{0, UTIME_OMIT}, {1'600'000'000, 0}};
        ASSERT_EQ(::utimensat(AT_FDCWD, path.constData(), times, 0), 0);
        break;
    }
    case Change::removed:
        ASSERT_EQ(::unlink(path.constData()), 0);
        break;
    }
}

TEST_F(TrasherTest, AFileChangedSinceTheScanStaysWhereItIs)
{
    for (const Change change : {Change::none, Change::replaced, Change::grown, Change::touched}) {
        SCOPED_TRACE(int(change));
        const QByteArray path = file("changing " + QByteArray::number(int(change)), 3000).path();
        const std::optional<FileItem> record = Scanner::item(path);
        ASSERT_TRUE(record && record->hasIdentity());
        catalog({*record});
        apply(change, path);
        const QByteArray now = contents(path);
        QSignalSpy failed(trasher.get(), &Trasher::moveFailed);
        trasher->trash({*record});
        if (change == Change::none) {
            EXPECT_EQ(message(), "Moved 1 item to the Trash · 3 KB freed");
            EXPECT_FALSE(exists(path));
            continue;
        }
        EXPECT_EQ(message(), "Moved 0 items to the Trash · Zero KB freed (1 could not be moved)");
        EXPECT_EQ(contents(path), now);
        ASSERT_EQ(failed.count(), 1);
        EXPECT_TRUE(failed.first().last().toString().contains(QStringLiteral("has changed")));
    }
}

TEST_F(TrasherTest, AnExtraMovesOnlyWhileItsKeptCopyIsThereUnchanged)
{
    int i = 0;
    for (const Change change : {Change::none, Change::replaced, Change::grown, Change::touched,
                                Change::removed}) {
        SCOPED_TRACE(int(change));
        const QByteArray folder = "group " + QByteArray::number(++i) + '/';
        const FileItem kept = *Scanner::item(file(folder + "kept.bin", 2048).path());
        tree.file("files/" + folder + "extra.bin", contents(kept.path()));
        const FileItem extra = *Scanner::item(tree.path("files/" + folder + "extra.bin"));
        DupGroup group{QStringLiteral("g") + QString::number(i), {kept, extra}, kept.path()};
        catalog({kept, extra}, {group});
        apply(change, kept.path());
        trasher->trashExtras(group.extras());
        if (change == Change::none) {
            EXPECT_EQ(message(), "Moved 1 item to the Trash · 2 KB freed");
            EXPECT_FALSE(exists(extra.path()));
            EXPECT_TRUE(exists(kept.path()));
        } else {
            EXPECT_EQ(message(), "Moved 0 items to the Trash · Zero KB freed (1 could not be moved)");
            EXPECT_EQ(contents(extra.path()).size(), 2048);
        }
    }
    // An extra the catalog no longer counts as a duplicate is left alone too.
    const FileItem lone = *Scanner::item(file("lone.bin", 100).path());
    catalog({lone});
    trasher->trashExtras({lone});
    EXPECT_TRUE(exists(lone.path()));
}
