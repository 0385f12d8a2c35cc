#include "freedesktoptrash.h"
#include "tempdir.h"
#include "trashtesting.h"

#include <gtest/gtest.h>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace TrashTesting;

namespace {

class HomeTrash : public ::testing::Test
{
protected:
    TempTree tree;
    QByteArray data = tree.folder("home/.local/share");
    FreedesktopTrash trash{config(data)};

    QByteArray files() const { return data + "/Trash/files"; }
    QByteArray info() const { return data + "/Trash/info"; }
};

struct stat statOf(const QByteArray &path)
{
    struct stat st = {};
    ::lstat(path.constData(), &st);
    return st;
}

QByteArray record(const QByteArray &encodedPath)
{
    return "[Trash Info]\nPath=" + encodedPath + "\nDeletionDate=" + fixedNowText() + '\n';
}

QProcessEnvironment privateHome(const QByteArray &home, const QByteArray &data)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), QString::fromUtf8(home));
    env.insert(QStringLiteral("XDG_DATA_HOME"), QString::fromUtf8(data));
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    return env;
}

QByteArray run(const QString &program, const QStringList &args, const QProcessEnvironment &env)
{
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(program, args);
    p.waitForFinished(30000);
    return p.readAllStandardOutput();
}

} // namespace

TEST_F(HomeTrash, OddNamesRoundTripByteForByte)
{
    const QByteArray root = tree.path();
    ASSERT_EQ(root.toPercentEncoding("/"), root) << "the cases below expect a plain temporary path";
    struct Case
    {
        QByteArray name;
        QByteArray encoded;
        bool folder = false;
    };
    const QByteArray longName(250, 'n');
    const Case cases[] = {
        {"plain.txt", "plain.txt"},
        {"with space.txt", "with%20space.txt"},
        {"100% sure.txt", "100%25%20sure.txt"},
        {"%41 looks encoded", "%2541%20looks%20encoded"},
        {"line\nbreak.txt", "line%0Abreak.txt"},
        {"caf\xe9 latin-1.txt", "caf%E9%20latin-1.txt"},
        {"\xc3\xbcn\xc3\xaf.txt", "%C3%BCn%C3%AF.txt"},
        {"tab\t#?&=+;.txt", "tab%09%23%3F%26%3D%2B%3B.txt"},
        {longName, longName},
        {"a folder", "a%20folder", true},
    };
    int i = 0;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.encoded.toStdString());
        const QByteArray where = "src/" + QByteArray::number(++i) + '/';
        const QByteArray payload = "payload " + c.name;
        QByteArray original;
        if (c.folder) {
            tree.file(where + c.name + "/inner.txt", payload);
            original = tree.path(where + c.name);
        } else {
            original = tree.file(where + c.name, payload);
        }
        const ino_t inode = statOf(original).st_ino;

        const auto moved = trash.trash(original);
        ASSERT_TRUE(moved.ok()) << moved.error.toStdString();
        const QByteArray entry = c.name.left(245); // the name and ".trashinfo" fit 255 bytes
        EXPECT_EQ(moved.path, files() + '/' + entry);
        EXPECT_FALSE(exists(original));
        EXPECT_EQ(statOf(moved.path).st_ino, inode); // moved, never copied
        const QByteArray infoPath = info() + '/' + entry + ".trashinfo";
        EXPECT_EQ(FreedesktopTrash::infoPathOf(moved.path), infoPath);
        EXPECT_EQ(contents(infoPath), record(root + '/' + where + c.encoded));
        EXPECT_EQ(statOf(infoPath).st_mode & 07777, 0600u);

        const auto back = trash.restore(moved.path, original);
        ASSERT_TRUE(back.ok()) << back.error.toStdString();
        EXPECT_EQ(contents(c.folder ? original + "/inner.txt" : original), payload);
        EXPECT_FALSE(exists(moved.path));
        EXPECT_FALSE(exists(infoPath));
    }
    EXPECT_EQ(statOf(data + "/Trash").st_mode & 07777, 0700u);
}

TEST_F(HomeTrash, ClashingNamesCountUpAndNeverReplaceAStrayEntry)
{
    tree.file("home/.local/share/Trash/files/report.3.pdf", "stray, no record");
    QList<QByteArray> trashed;
    for (const QByteArray folder : {"a", "b", "c"})
        trashed.append(trash.trash(tree.file(folder + "/report.pdf", folder)).path);
    for (const QByteArray folder : {"a", "b"}) {
        trashed.append(trash.trash(tree.file(folder + "/notes", folder)).path);
        trashed.append(trash.trash(tree.file(folder + "/.profile", folder)).path);
    }
    EXPECT_EQ(trashed, (QList<QByteArray>{files() + "/report.pdf", files() + "/report.2.pdf",
                                          files() + "/report.4.pdf", files() + "/notes",
                                          files() + "/.profile", files() + "/notes.2",
                                          files() + "/.profile.2"}));
    EXPECT_EQ(contents(files() + "/report.3.pdf"), "stray, no record");
    EXPECT_EQ(contents(files() + "/report.4.pdf"), "c");
    EXPECT_EQ(entries(info()),
              (QList<QByteArray>{".profile.2.trashinfo", ".profile.trashinfo", "notes.2.trashinfo",
                                 "notes.trashinfo", "report.2.pdf.trashinfo",
                                 "report.4.pdf.trashinfo", "report.pdf.trashinfo"}));
    ASSERT_TRUE(trash.restore(files() + "/report.2.pdf", tree.path("b/report.pdf")).ok());
    EXPECT_EQ(contents(tree.path("b/report.pdf")), "b");
}

TEST_F(HomeTrash, RestoreNeverReplacesWhatNowOccupiesTheOldPlace)
{
    enum class Blocker
    {
        file,
        danglingLink,
        folder
    };
    int i = 0;
    for (const Blocker blocker : {Blocker::file, Blocker::danglingLink, Blocker::folder}) {
        SCOPED_TRACE(int(blocker));
        const QByteArray original =
            tree.file("blocked/" + QByteArray::number(++i) + "/doc.txt", "original");
        const auto moved = trash.trash(original);
        ASSERT_TRUE(moved.ok());
        switch (blocker) {
        case Blocker::file:
            tree.file("blocked/" + QByteArray::number(i) + "/doc.txt", "newer");
            break;
        case Blocker::danglingLink:
            ASSERT_EQ(::symlink("nowhere", original.constData()), 0);
            break;
        case Blocker::folder:
            ASSERT_EQ(::mkdir(original.constData(), 0755), 0);
            break;
        }
        const auto back = trash.restore(moved.path, original);
        EXPECT_FALSE(back.ok());
        EXPECT_TRUE(back.error.contains(QStringLiteral("Something else is at")));
        EXPECT_EQ(contents(moved.path), "original");
        EXPECT_TRUE(exists(FreedesktopTrash::infoPathOf(moved.path)));
        const struct stat st = statOf(original);
        if (blocker == Blocker::file) {
            EXPECT_EQ(contents(original), "newer");
        } else if (blocker == Blocker::danglingLink) {
            char target[64] = {};
            EXPECT_EQ(::readlink(original.constData(), target, sizeof target - 1), 7);
            EXPECT_STREQ(target, "nowhere");
        } else {
            EXPECT_TRUE(S_ISDIR(st.st_mode));
        }
    }
}

TEST_F(HomeTrash, RestoreMakesMissingParentFolders)
{
    const QByteArray original = tree.file("deep/a/b/c.txt", "deep");
    const auto moved = trash.trash(original);
    ASSERT_TRUE(moved.ok());
    ASSERT_EQ(::rmdir(tree.path("deep/a/b").constData()), 0);
    ASSERT_EQ(::rmdir(tree.path("deep/a").constData()), 0);
    ASSERT_TRUE(trash.restore(moved.path, original).ok());
    EXPECT_EQ(contents(original), "deep");
}

TEST_F(HomeTrash, WhatCannotMoveStaysAndLeavesNoRecord)
{
    tree.file("kept/file.txt", "kept");
    struct Case
    {
        QByteArray path;
        const char *error;
    };
    const Case cases[] = {
        {tree.path("kept/missing.txt"), "No such file"},
        {"", "Cannot move"},
        {"/", "Cannot move"},
        {tree.path("kept/.."), "Cannot move"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        const auto moved = trash.trash(c.path);
        EXPECT_FALSE(moved.ok());
        EXPECT_TRUE(moved.error.startsWith(QLatin1String(c.error))) << moved.error.toStdString();
        EXPECT_TRUE(moved.path.isEmpty());
    }
    EXPECT_TRUE(entries(info()).isEmpty());
    EXPECT_EQ(contents(tree.path("kept/file.txt")), "kept");

    // Emptied from the Trash by hand: there is nothing to put back, and nothing appears.
    const QByteArray original = tree.path("kept/file.txt");
    const auto moved = trash.trash(original);
    ASSERT_TRUE(moved.ok());
    ASSERT_EQ(::unlink(moved.path.constData()), 0);
    const auto back = trash.restore(moved.path, original);
    EXPECT_FALSE(back.ok());
    EXPECT_TRUE(back.error.contains(QStringLiteral("no longer in the Trash")));
    EXPECT_FALSE(exists(original));
}

// /dev/shm is its own tmpfs on most machines: a second volume that needs no privileges.
TEST(TopDirectoryTrash, AnotherVolumeGetsItsOwnTrashAtItsTop)
{
    const QByteArray top = "/dev/shm";
    TempTree tree;
    const QByteArray data = tree.folder("home/.local/share");
    const struct stat volume = statOf(top);
    if (!S_ISDIR(volume.st_mode) || volume.st_dev == statOf(data).st_dev ||
        volume.st_dev == statOf("/dev").st_dev || ::access(top.constData(), W_OK) != 0)
        GTEST_SKIP() << "no second writable volume at /dev/shm";
    QTemporaryDir scratch(QStringLiteral("/dev/shm/tovalo-trash-XXXXXX"));
    ASSERT_TRUE(scratch.isValid());
    const QByteArray dir = QFile::encodeName(scratch.path());
    const QByteArray uid = QByteArray::number(::getuid());
    const QByteArray own = top + "/.Trash-" + uid;
    const QByteArray shared = top + "/.Trash";
    if (exists(shared))
        GTEST_SKIP() << "/dev/shm/.Trash belongs to someone else and decides where files go";
    // Whatever happens below, the volume's top is left as it was found.
    struct Tidy
    {
        QByteArray own, shared, uid;
        bool ownExisted;
        ~Tidy()
        {
            for (const char *sub : {"/files", "/info", ""})
                ::rmdir((shared + '/' + uid + sub).constData());
            ::unlink(shared.constData());
            ::rmdir(shared.constData());
            if (!ownExisted) {
                ::rmdir((own + "/files").constData());
                ::rmdir((own + "/info").constData());
                ::rmdir(own.constData());
            }
        }
    } tidy{own, shared, uid, exists(own)};
    FreedesktopTrash trash(config(data));

    enum class Shared
    {
        none,
        sticky,
        notSticky,
        linkToSticky
    };
    const QByteArray elsewhere = dir + "/sticky-elsewhere";
    for (const Shared s : {Shared::none, Shared::sticky, Shared::notSticky, Shared::linkToSticky}) {
        SCOPED_TRACE(int(s));
        if (s == Shared::sticky || s == Shared::notSticky) {
            ASSERT_EQ(::mkdir(shared.constData(), 0777), 0);
            ASSERT_EQ(::chmod(shared.constData(), s == Shared::sticky ? 01777 : 0777), 0);
        }
        if (s == Shared::linkToSticky) {
            ASSERT_EQ(::mkdir(elsewhere.constData(), 0777), 0);
            ASSERT_EQ(::chmod(elsewhere.constData(), 01777), 0);
            ASSERT_EQ(::symlink(elsewhere.constData(), shared.constData()), 0);
        }
        const QByteArray expected = s == Shared::sticky ? shared + '/' + uid : own;
        const QByteArray name = "moved file " + QByteArray::number(int(s)) + ".txt";
        const QByteArray original = dir + '/' + name;
        {
            QFile f(QFile::decodeName(original));
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write("on another volume");
        }
        const ino_t inode = statOf(original).st_ino;

        EXPECT_EQ(trash.folderFor(original).path, expected);
        const auto moved = trash.trash(original);
        ASSERT_TRUE(moved.ok()) << moved.error.toStdString();
        EXPECT_TRUE(moved.path.startsWith(expected + "/files/"));
        EXPECT_EQ(statOf(moved.path).st_ino, inode);
        EXPECT_EQ(statOf(expected).st_mode & 07777, 0700u);
        const QByteArray relative = (dir.mid(top.size() + 1) + '/' + name).toPercentEncoding("/");
        EXPECT_EQ(contents(FreedesktopTrash::infoPathOf(moved.path)), record(relative));

        if (s == Shared::none &&
            !QStandardPaths::findExecutable(QStringLiteral("trash-list")).isEmpty()) {
            const QByteArray listed =
                run(QStringLiteral("trash-list"), {}, privateHome(tree.path("home"), data));
            EXPECT_TRUE(listed.contains("2024-03-05 14:07:09 " + original + '\n'))
                << listed.toStdString();
        }

        ASSERT_TRUE(trash.restore(moved.path, original).ok());
        EXPECT_EQ(contents(original), "on another volume");
        if (s == Shared::sticky) {
            for (const char *sub : {"/files", "/info", ""})
                ::rmdir((expected + sub).constData());
        }
        ::unlink(shared.constData());
        ::rmdir(shared.constData());
    }
}

TEST_F(HomeTrash, TrashCliListsAndRestoresWhatWeTrashed)
{
    if (QStandardPaths::findExecutable(QStringLiteral("trash-list")).isEmpty() ||
        QStandardPaths::findExecutable(QStringLiteral("trash-restore")).isEmpty())
        GTEST_SKIP() << "trash-cli is not installed";
    const QByteArray first = tree.file("docs/Q1 report 100%.txt", "first");
    const QByteArray second = tree.file("docs/plain notes.txt", "second");
    ASSERT_TRUE(trash.trash(first).ok());
    const auto moved = trash.trash(second);
    ASSERT_TRUE(moved.ok());
    const QProcessEnvironment env = privateHome(tree.path("home"), data);

    const QByteArray listed = run(QStringLiteral("trash-list"), {}, env);
    EXPECT_TRUE(listed.contains("2024-03-05 14:07:09 " + first + '\n')) << listed.toStdString();
    EXPECT_TRUE(listed.contains("2024-03-05 14:07:09 " + second + '\n')) << listed.toStdString();

    // trash-restore lists what was trashed from its folder and asks for an index on stdin.
    QProcess restore;
    restore.setProcessEnvironment(env);
    restore.setWorkingDirectory(QFile::decodeName(tree.path("docs")));
    restore.start(QStringLiteral("trash-restore"), QStringList());
    QByteArray shown;
    while (!shown.contains("What file to restore") && restore.waitForReadyRead(30000))
        shown += restore.readAllStandardOutput();
    int index = -1;
    for (const QByteArray &line : shown.split('\n'))
        if (line.endsWith(second))
            index = line.trimmed().split(' ').first().toInt();
    ASSERT_GE(index, 0) << shown.toStdString();
    restore.write(QByteArray::number(index) + '\n');
    restore.closeWriteChannel();
    ASSERT_TRUE(restore.waitForFinished(30000));
    EXPECT_EQ(restore.exitCode(), 0) << restore.readAllStandardError().toStdString();

    EXPECT_EQ(contents(second), "second");
    EXPECT_FALSE(exists(moved.path));
    EXPECT_FALSE(exists(FreedesktopTrash::infoPathOf(moved.path)));
    const QByteArray after = run(QStringLiteral("trash-list"), {}, env);
    EXPECT_TRUE(after.contains(first));
    EXPECT_FALSE(after.contains(second));
}

TEST_F(HomeTrash, TheTrashesOwnFoldersNeverMove)
{
    const QByteArray kept = tree.file("docs/kept.txt", "kept");
    ASSERT_TRUE(trash.trash(kept).ok());
    const QByteArray record = info() + "/kept.txt.trashinfo";
    const QByteArray before = contents(record);
    tree.folder("home/.local/share/Trash/expunged");
    struct Case
    {
        QByteArray path;
        const char *why;
    };
    const QList<Case> cases = {
        {data + "/Trash", "it is part of the Trash"},
        {info(), "it is part of the Trash"},
        {files(), "it is part of the Trash"},
        {record, "it is part of the Trash"},
        {files() + "/kept.txt", "it is part of the Trash"},
        {data + "/Trash/expunged", "it is part of the Trash"},
        {data + "/Trash/info/../files/", "it is part of the Trash"},
        {data, "it holds the Trash"},
        {tree.path("home/.local"), "it holds the Trash"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        const auto moved = trash.trash(c.path);
        EXPECT_FALSE(moved.ok());
        EXPECT_TRUE(moved.error.endsWith(QLatin1String(c.why))) << moved.error.toStdString();
    }
    // Reached through a link to the folder, the Trash is still the Trash.
    ASSERT_EQ(::symlink(info().constData(), tree.path("docs/records").constData()), 0);
    EXPECT_FALSE(trash.trash(tree.path("docs/records/kept.txt.trashinfo")).ok());
    // The link itself is only a link, and goes.
    EXPECT_TRUE(trash.trash(tree.path("docs/records")).ok());
    EXPECT_EQ(entries(info()), (QList<QByteArray>{"kept.txt.trashinfo", "records.trashinfo"}));
    EXPECT_EQ(contents(record), before);
    EXPECT_EQ(contents(files() + "/kept.txt"), "kept");

    // Below the top, such a name is an ordinary folder.
    const QByteArray uid = QByteArray::number(::getuid());
    tree.file("docs/.Trash-" + uid + "/old.txt", "old");
    EXPECT_TRUE(trash.trash(tree.path("docs/.Trash-" + uid)).ok());
}

TEST(TopDirectoryTrash, ItsFoldersNeverMove)
{
    const QByteArray top = "/dev/shm";
    TempTree tree;
    const QByteArray data = tree.folder("home/.local/share");
    const struct stat volume = statOf(top);
    if (!S_ISDIR(volume.st_mode) || volume.st_dev == statOf(data).st_dev ||
        ::access(top.constData(), W_OK) != 0)
        GTEST_SKIP() << "no second writable volume at /dev/shm";
    // Some other user's trash, so that no other test's trash is disturbed.
    const QByteArray trashTop = top + "/.Trash-9" + QByteArray::number(::getpid());
    ASSERT_EQ(::mkdir(trashTop.constData(), 0700), 0);
    ASSERT_EQ(::mkdir((trashTop + "/info").constData(), 0700), 0);
    FreedesktopTrash trash(config(data));
    const auto inside = trash.trash(trashTop + "/info");
    const auto itself = trash.trash(trashTop + '/');
    const bool stayed = exists(trashTop + "/info");
    for (const QByteArray &folder : {trashTop, itself.path, inside.path}) {
        if (folder.isEmpty())
            continue;
        ::rmdir((folder + "/info").constData());
        ::rmdir(folder.constData());
        ::unlink(FreedesktopTrash::infoPathOf(folder).constData());
    }
    EXPECT_TRUE(stayed);
    for (const auto &moved : {inside, itself})
        EXPECT_TRUE(moved.error.endsWith(QLatin1String("it is part of the Trash of its volume")))
            << moved.error.toStdString();
}

TEST_F(HomeTrash, AKilledRunsUnfinishedRecordsAreClearedAndNobodyElses)
{
    // Made the way an interrupted move leaves them: a draft linked to its
    // published record, the file itself never having arrived.
    ASSERT_TRUE(FreedesktopTrash(config(data)).trash(tree.file("docs/first.txt", "1")).ok());
    const auto draftOf = [&](const QByteArray &draft, const QByteArray &record) {
        tree.file("home/.local/share/Trash/info/" + draft, "[Trash Info]\nPath=/x\n");
        if (!record.isEmpty()) {
            ASSERT_EQ(::link((info() + '/' + draft).constData(), (info() + '/' + record).constData()),
                      0);
        }
    };
    draftOf(".tovalo-draft-1", "lost.txt.trashinfo");    // killed before the move
    draftOf(".tovalo-draft-2", "moved.txt.trashinfo");   // killed after the move
    tree.file("home/.local/share/Trash/files/moved.txt", "moved");
    draftOf(".tovalo-draft-3", "");                       // killed before publishing
    draftOf(".tovalo-draft-4", "busy.txt.trashinfo");     // another process, mid-move
    const int busy = ::open((info() + "/.tovalo-draft-4").constData(), O_RDONLY | O_CLOEXEC);
    ASSERT_EQ(::flock(busy, LOCK_EX), 0);
    tree.file("home/.local/share/Trash/info/foreign.txt.trashinfo", "[Trash Info]\nPath=/y\n");

    // The next run, a fresh trash object, clears them on its first move.
    FreedesktopTrash next(config(data));
    ASSERT_TRUE(next.trash(tree.file("docs/second.txt", "2")).ok());
    ::close(busy);
    EXPECT_EQ(entries(info()),
              (QList<QByteArray>{".tovalo-draft-4", "busy.txt.trashinfo", "first.txt.trashinfo",
                                 "foreign.txt.trashinfo", "moved.txt.trashinfo",
                                 "second.txt.trashinfo"}));
    EXPECT_EQ(contents(info() + "/second.txt.trashinfo"),
              record(tree.path("docs/second.txt")));
    EXPECT_EQ(statOf(info() + "/second.txt.trashinfo").st_nlink, 1u);
}
