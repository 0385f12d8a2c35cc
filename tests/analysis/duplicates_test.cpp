#include "analysis/duplicates.h"
#include "tempdir.h"

#include <QCryptographicHash>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <thread>
#include <unistd.h>

namespace {

// Bytes that differ from one seed to the next all through the file.
QByteArray content(qint64 size, quint32 seed)
{
    QByteArray out(size, Qt::Uninitialized);
    quint32 x = seed * 2654435761u + 1;
    for (qint64 i = 0; i < size; ++i) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        out[i] = char(x);
    }
    return out;
}

// The record the scanner would make of a file, with the dates a test wants.
FileItem onDisk(const QByteArray &path, Millis created = 1'000'000, Kind kind = Kind::other,
                bool cloudOnly = false)
{
    struct stat st;
    if (::stat(path.constData(), &st) != 0)
        throw std::runtime_error("no file " + path.toStdString());
    FileItem::Fields f;
    f.path = path;
    f.ext = lowerExtension(QString::fromUtf8(path.mid(path.lastIndexOf('/') + 1)));
    f.kind = kind;
    f.size = st.st_size;
    f.modified = Millis(st.st_mtim.tv_sec) * 1000 + st.st_mtim.tv_nsec / 1'000'000;
    f.created = f.added = created;
    f.isCloudOnly = cloudOnly;
    return FileItem(f);
}

QList<QByteArray> paths(const QList<FileItem> &items)
{
    QList<QByteArray> out;
    for (const FileItem &i : items)
        out.append(i.path());
    return out;
}

QString sha256(const QByteArray &bytes)
{
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
}

quint64 filesReadDuring(const std::function<void()> &work)
{
    const quint64 before = Duplicates::reads().files;
    work();
    return Duplicates::reads().files - before;
}

} // namespace

TEST(Duplicates, SizesBelow1024BytesAreNeverCompared)
{
    struct Case
    {
        qint64 size;
        bool grouped;
    };
    for (const Case c : {Case{1023, false}, Case{1024, true}}) {
        TempTree t;
        const QByteArray body = content(c.size, 7);
        const QList<FileItem> items = {onDisk(t.file("a.txt", body)), onDisk(t.file("b.txt", body))};
        const QList<DupGroup> groups = Duplicates::find(items);
        ASSERT_EQ(groups.size(), c.grouped ? 1 : 0) << c.size;
        if (c.grouped) {
            EXPECT_EQ(groups[0].id, QStringLiteral("1024--") + items[0].pathString());
            EXPECT_EQ(groups[0].wasted(), 1024);
        }
    }
}

TEST(Duplicates, ApplicationsAndCloudOnlyFilesAreLeftOut)
{
    TempTree t;
    const QByteArray body = content(4096, 3);
    const QList<FileItem> items = {
        onDisk(t.file("A.app", body), 1, Kind::app), onDisk(t.file("B.app", body), 1, Kind::app),
        onDisk(t.file("c.txt", body), 1, Kind::other, true), onDisk(t.file("d.txt", body))};
    const quint64 read = filesReadDuring([&] { EXPECT_TRUE(Duplicates::find(items).isEmpty()); });
    EXPECT_EQ(read, 0u); // d.txt has no candidate of its size left to compare with
}

TEST(Duplicates, EqualHeadsWithDifferentTailsAreNotCopies)
{
    TempTree t;
    QByteArray body = content(100'000, 11);
    const FileItem a = onDisk(t.file("a.bin", body));
    const FileItem same = onDisk(t.file("same.bin", body));
    body[99'999] = char(body[99'999] ^ 1);
    const FileItem tail = onDisk(t.file("tail.bin", body));

    const QList<DupGroup> groups = Duplicates::find({a, tail, same});
    ASSERT_EQ(groups.size(), 1);
    EXPECT_EQ(paths(groups[0].items), (QList<QByteArray>{a.path(), same.path()}));
    body[99'999] = char(body[99'999] ^ 1);
    EXPECT_EQ(groups[0].id, QStringLiteral("100000-") + sha256(body) + u'-' + a.pathString());
}

// Copies are compared with the first file of their group as it is hashed;
// when that first file is the odd one, the others still get their own digest.
TEST(Duplicates, TheFirstOfAGroupBeingDifferentLeavesTheCopiesTheirDigest)
{
    TempTree t;
    QByteArray body = content(300'000, 13);
    QByteArray odd = body;
    odd[200'000] = char(odd[200'000] ^ 1);
    const FileItem a = onDisk(t.file("a.bin", odd));
    const FileItem b = onDisk(t.file("b.bin", body));
    const FileItem c = onDisk(t.file("c.bin", body));
    const QList<DupGroup> groups = Duplicates::find({a, b, c});
    ASSERT_EQ(groups.size(), 1);
    EXPECT_EQ(paths(groups[0].items), (QList<QByteArray>{b.path(), c.path()}));
    EXPECT_EQ(groups[0].id, QStringLiteral("300000-") + sha256(body) + u'-' + b.pathString());
    EXPECT_EQ(Duplicates::digest(a, std::nullopt), sha256(odd));
}

TEST(Duplicates, AFileOfExactlyTheHeadIsReadOnceAndHasAnEmptyMiddleId)
{
    TempTree t;
    const QByteArray body = content(65'536, 5);
    const FileItem a = onDisk(t.file("a.bin", body));
    const FileItem b = onDisk(t.file("b.bin", body));
    QList<DupGroup> groups;
    const quint64 read = filesReadDuring([&] { groups = Duplicates::find({a, b}); });
    ASSERT_EQ(groups.size(), 1);
    EXPECT_EQ(groups[0].id, QStringLiteral("65536--") + a.pathString());
    EXPECT_EQ(read, 2u);
}

TEST(Duplicates, HashReadsTheLimitOrTheWholeFileInChunks)
{
    TempTree t;
    const QByteArray body = content(2 * Duplicates::kChunkBytes + 12'345, 9);
    const QByteArray path = t.file("big.bin", body);
    struct Case
    {
        std::optional<qint64> limit;
        qint64 covered;
    };
    for (const Case c : {Case{std::nullopt, body.size()}, Case{65'536, 65'536}, Case{1, 1},
                         Case{Duplicates::kChunkBytes + 1, Duplicates::kChunkBytes + 1},
                         Case{body.size() * 2, body.size()}})
        EXPECT_EQ(Duplicates::hash(path, c.limit), sha256(body.left(c.covered))) << c.covered;
    EXPECT_EQ(Duplicates::hash(t.file("empty", ""), std::nullopt), std::nullopt);
    EXPECT_EQ(Duplicates::hash(t.path("missing"), 10), std::nullopt);
}

TEST(Duplicates, CopyNames)
{
    struct Case
    {
        const char *name;
        bool copy;
    };
    const Case cases[] = {
        {"report copy.pdf", true},   {"report copy 2.pdf", true}, {"report (1).pdf", true},
        {"report-2.pdf", true},      {"photo-2.jpg", true},       {"scan (3).png", true},
        {"Report Copy.docx", true},  {"notes copy", true},        {"archive.tar-2.gz", true},
        {"report.pdf", false},       {"copy.txt", false},         {"photo-23.jpg", false},
        {"img-2024-01-05.jpg", false}, {"report copy2.txt", false}, {"photo_2.jpg", false},
        {"report copy 2 final.pdf", false}, {"scan (3) edited.png", false}, {"copy", false},
    };
    for (const Case &c : cases)
        EXPECT_EQ(Duplicates::looksLikeCopy(QString::fromUtf8(c.name)), c.copy) << c.name;
}

TEST(Duplicates, OriginalsOutsideDownloadsComeFirstAndStay)
{
    TempTree t;
    const QByteArray body = content(2048, 1);
    const FileItem download = onDisk(t.file("Downloads/a.txt", body), 100);
    const FileItem copy = onDisk(t.file("Documents/a copy.txt", body), 100);
    const FileItem original = onDisk(t.file("Documents/a.txt", body), 900);
    const QList<DupGroup> groups = Duplicates::find({download, copy, original}, t.path("Downloads"));
    ASSERT_EQ(groups.size(), 1);
    EXPECT_EQ(paths(groups[0].items), (QList<QByteArray>{original.path(), copy.path(), download.path()}));
    EXPECT_EQ(groups[0].keep, original.path());
    EXPECT_EQ(groups[0].id, QStringLiteral("2048--") + original.pathString());
}

TEST(Duplicates, ALocalizedDownloadFolderRanksLast)
{
    TempTree t;
    const QByteArray body = content(2048, 3);
    const FileItem download = onDisk(t.file("Téléchargements/a.txt", body), 100);
    const FileItem english = onDisk(t.file("Downloads/a.txt", body), 900);
    // Only the folder the user's settings name is the download folder.
    EXPECT_EQ(Duplicates::find({download, english}, t.path("Téléchargements")).value(0).keep, english.path());
    EXPECT_EQ(Duplicates::find({download, english}, {}).value(0).keep, download.path());
}

TEST(Duplicates, TheOldestCopyStaysAndTiesKeepInputOrder)
{
    TempTree t;
    const QByteArray body = content(3000, 2);
    const FileItem newer = onDisk(t.file("x/new.txt", body), 500);
    const FileItem older = onDisk(t.file("y/old.txt", body), 200);
    const FileItem tie = onDisk(t.file("z/tie.txt", body), 200);
    EXPECT_EQ(Duplicates::find({newer, older, tie}).value(0).keep, older.path());
    EXPECT_EQ(paths(Duplicates::find({newer, tie, older}).value(0).items),
              (QList<QByteArray>{tie.path(), older.path(), newer.path()}));
}

TEST(Duplicates, GroupsComeMostWastedFirst)
{
    TempTree t;
    QList<FileItem> items;
    const QByteArray small = content(2000, 1), big = content(70'000, 2), mid = content(5000, 3);
    items << onDisk(t.file("s1", small)) << onDisk(t.file("s2", small)) << onDisk(t.file("s3", small))
          << onDisk(t.file("b1", big)) << onDisk(t.file("b2", big)) << onDisk(t.file("m1", mid))
          << onDisk(t.file("m2", mid));
    QList<qint64> wasted;
    for (const DupGroup &g : Duplicates::find(items))
        wasted.append(g.wasted());
    EXPECT_EQ(wasted, (QList<qint64>{70'000, 5000, 4000}));
    EXPECT_TRUE(Duplicates::find({}).isEmpty());
}

TEST(Duplicates, HardLinksAreOneFile)
{
    TempTree t;
    const QByteArray body = content(8192, 4);
    const QByteArray first = t.file("a.bin", body);
    ASSERT_EQ(::link(first.constData(), t.path("a-link.bin").constData()), 0);
    const FileItem a = onDisk(first), link = onDisk(t.path("a-link.bin"));
    EXPECT_TRUE(Duplicates::find({a, link}).isEmpty());

    const FileItem copy = onDisk(t.file("b.bin", body));
    const QList<DupGroup> groups = Duplicates::find({link, copy, a});
    ASSERT_EQ(groups.size(), 1);
    EXPECT_EQ(paths(groups[0].items), (QList<QByteArray>{link.path(), copy.path()}));
    EXPECT_EQ(groups[0].wasted(), 8192);
}

// Records from a scan carry the device and inode they were read from; hard
// links among them are told apart without another stat.
TEST(Duplicates, HardLinksAreOneFileByTheScansIdentityToo)
{
    TempTree t;
    const QByteArray body = content(8192, 4);
    const QByteArray first = t.file("a.bin", body);
    ASSERT_EQ(::link(first.constData(), t.path("a-link.bin").constData()), 0);
    auto scanned = [](const QByteArray &path) {
        struct stat st;
        EXPECT_EQ(::stat(path.constData(), &st), 0);
        FileItem::Fields f;
        f.path = path;
        f.size = st.st_size;
        f.modified = Millis(st.st_mtim.tv_sec) * 1000 + st.st_mtim.tv_nsec / 1'000'000;
        f.inode = st.st_ino;
        f.device = FileItem::deviceOf(major(st.st_dev), minor(st.st_dev));
        return FileItem(f);
    };
    const FileItem a = scanned(first), link = scanned(t.path("a-link.bin")), copy = scanned(t.file("b.bin", body));
    EXPECT_TRUE(Duplicates::find({a, link}).isEmpty());
    const QList<DupGroup> groups = Duplicates::find({link, copy, a});
    ASSERT_EQ(groups.size(), 1);
    EXPECT_EQ(paths(groups[0].items), (QList<QByteArray>{link.path(), copy.path()}));
}

// Files over a chunk that share size, head and tail are told apart by a fast
// pass when there are more than two, and only copies get their SHA-256.
TEST(Duplicates, LargeFilesDifferingLateOrInTheMiddleAreApart)
{
    TempTree t;
    const qint64 size = Duplicates::kChunkBytes * 2 + 5000;
    const QByteArray base = content(size, 21);
    auto changedAt = [&](qint64 at) {
        QByteArray b = base;
        b[at] = char(b[at] ^ 0x40);
        return b;
    };
    const struct
    {
        const char *name;
        QByteArray body;
    } files[] = {
        {"base", base},
        {"middle", changedAt(size / 2)},
        {"last-byte", changedAt(size - 1)},
        {"base-copy", base},
        {"middle-copy", changedAt(size / 2)},
        {"early-in-tail-block", changedAt(size - Duplicates::kFirstBytes + 3)},
        {"later-middle", changedAt(size / 2 + Duplicates::kChunkBytes / 2)},
    };
    QList<FileItem> items;
    for (const auto &f : files)
        items.append(onDisk(t.file(f.name, f.body)));
    const QList<DupGroup> groups = Duplicates::find(items);
    ASSERT_EQ(groups.size(), 2);
    EXPECT_EQ(paths(groups[0].items), (QList<QByteArray>{t.path("base"), t.path("base-copy")}));
    EXPECT_EQ(groups[0].id, QString::number(size) + u'-' + sha256(base) + u'-' + QString::fromUtf8(t.path("base")));
    EXPECT_EQ(paths(groups[1].items), (QList<QByteArray>{t.path("middle"), t.path("middle-copy")}));
    EXPECT_TRUE(groups[1].id.contains(sha256(changedAt(size / 2))));
    // Every stage's answer is kept: searching again reads nothing.
    EXPECT_EQ(filesReadDuring([&] { EXPECT_EQ(Duplicates::find(items), groups); }), 0u);
}

TEST(Duplicates, FilesThatCannotBeReadDropOutQuietly)
{
    struct Case
    {
        const char *what;
        std::function<void(TempTree &, const QByteArray &path)> spoil;
    };
    const Case cases[] = {
        {"vanished", [](TempTree &, const QByteArray &p) { ::unlink(p.constData()); }},
        {"now a pipe",
         [](TempTree &, const QByteArray &p) {
             ::unlink(p.constData());
             ::mkfifo(p.constData(), 0644);
         }},
        {"now a folder",
         [](TempTree &, const QByteArray &p) {
             ::unlink(p.constData());
             ::mkdir(p.constData(), 0755);
         }},
        {"now a link to a copy",
         [](TempTree &t, const QByteArray &p) {
             ::unlink(p.constData());
             if (::symlink(t.path("a.bin").constData(), p.constData()) != 0)
                 throw std::runtime_error("no symbolic link");
         }},
        {"not readable",
         [](TempTree &, const QByteArray &p) {
             if (::geteuid() != 0) // root reads it all the same
                 ::chmod(p.constData(), 0);
             else
                 ::unlink(p.constData());
         }},
    };
    for (const Case &c : cases) {
        TempTree t;
        const QByteArray body = content(100'000, 6);
        const FileItem a = onDisk(t.file("a.bin", body));
        const FileItem spoilt = onDisk(t.file("spoilt.bin", body));
        const FileItem b = onDisk(t.file("b.bin", body));
        c.spoil(t, spoilt.path());
        const QList<DupGroup> groups = Duplicates::find({a, spoilt, b});
        ASSERT_EQ(groups.size(), 1) << c.what;
        EXPECT_EQ(paths(groups[0].items), (QList<QByteArray>{a.path(), b.path()})) << c.what;
        EXPECT_EQ(Duplicates::digest(spoilt, std::nullopt), std::nullopt) << c.what;
    }
}

// A copy rewritten after the catalog read it is another file now: it is
// neither grouped nor given a digest under the catalog's size and date.
TEST(Duplicates, AFileChangedSinceTheCatalogGetsNoDigest)
{
    struct Case
    {
        const char *what;
        qint64 size;
        std::function<void(TempTree &, const QByteArray &path)> change;
    };
    const Case cases[] = {
        {"same size, new date", 3000,
         [](TempTree &t, const QByteArray &) {
             t.file("changed.bin", content(3000, 2));
             t.setModified("changed.bin", 1'600'000'000'000);
         }},
        {"longer than the head, shortened", 300'000,
         [](TempTree &t, const QByteArray &) { t.file("changed.bin", content(299'999, 1)); }},
        {"grown", 3000, [](TempTree &t, const QByteArray &) { t.file("changed.bin", content(3001, 1)); }},
    };
    for (const Case &c : cases) {
        TempTree t;
        const QByteArray body = content(c.size, 1);
        const FileItem a = onDisk(t.file("a.bin", body));
        const FileItem b = onDisk(t.file("b.bin", body));
        const FileItem changed = onDisk(t.file("changed.bin", body));
        c.change(t, changed.path());
        const QList<DupGroup> groups = Duplicates::find({a, changed, b});
        ASSERT_EQ(groups.size(), 1) << c.what;
        EXPECT_EQ(paths(groups[0].items), (QList<QByteArray>{a.path(), b.path()})) << c.what;
        EXPECT_EQ(Duplicates::digest(changed, std::nullopt), std::nullopt) << c.what;
        EXPECT_EQ(Duplicates::digest(changed, Duplicates::kHeadBytes), std::nullopt) << c.what;
        // Read again as it is now, it has its digest.
        EXPECT_TRUE(Duplicates::digest(onDisk(changed.path()), std::nullopt)) << c.what;
    }
}

TEST(Duplicates, ASecondSearchReadsOnlyWhatChanged)
{
    TempTree t;
    const QByteArray small = content(4000, 8), big = content(300'000, 9);
    QList<FileItem> items = {onDisk(t.file("a", small)), onDisk(t.file("b", small)),
                             onDisk(t.file("c", big)), onDisk(t.file("d", big))};
    const QList<DupGroup> first = Duplicates::find(items);
    ASSERT_EQ(first.size(), 2);

    const quint64 bytesBefore = Duplicates::reads().bytes;
    EXPECT_EQ(filesReadDuring([&] { EXPECT_EQ(Duplicates::find(items), first); }), 0u);
    EXPECT_EQ(Duplicates::reads().bytes, bytesBefore);

    t.setModified("b", 1'700'000'000'000);
    items[1] = onDisk(t.path("b"));
    EXPECT_EQ(filesReadDuring([&] { EXPECT_EQ(Duplicates::find(items).size(), 2); }), 1u);
}

TEST(Duplicates, GroupIdsStayApartForNamesThatAreNotUtf8)
{
    TempTree t;
    const QByteArray one = content(1500, 1), two = content(1500, 2);
    const QList<FileItem> items = {onDisk(t.file("\xe9.txt", one)), onDisk(t.file("x\xe9.txt", one)),
                                   onDisk(t.file("\xe8.txt", two)), onDisk(t.file("x\xe8.txt", two))};
    const QList<DupGroup> groups = Duplicates::find(items);
    ASSERT_EQ(groups.size(), 2);
    EXPECT_NE(groups[0].id, groups[1].id);
    EXPECT_TRUE(groups[0].keep == items[0].path() || groups[0].keep == items[2].path());
}

TEST(Duplicates, OverlappingSearchesAgree)
{
    TempTree t;
    QList<FileItem> items;
    for (int i = 0; i < 40; ++i)
        items.append(onDisk(t.file("f" + QByteArray::number(i), content(70'000 + i % 4, i % 8))));
    std::vector<QList<DupGroup>> results(4);
    std::vector<std::thread> threads;
    for (auto &r : results)
        threads.emplace_back([&r, &items] { r = Duplicates::find(items); });
    for (auto &th : threads)
        th.join();
    ASSERT_EQ(results[0].size(), 8);
    for (const auto &r : results)
        EXPECT_EQ(r, results[0]);
}

TEST(DupGroup, WastedAndExtrasFollowTheKeptCopy)
{
    TempTree t;
    const QByteArray body = content(10'000'000, 3);
    const QList<FileItem> items = {onDisk(t.file("one", body), 1), onDisk(t.file("two", body), 2),
                                   onDisk(t.file("three", body), 3)};
    QList<DupGroup> groups = Duplicates::find(items);
    ASSERT_EQ(groups.size(), 1);
    DupGroup &g = groups[0];
    EXPECT_EQ(g.wasted(), 20'000'000);
    g.keep = items[2].path();
    EXPECT_EQ(paths(g.extras()), (QList<QByteArray>{items[0].path(), items[1].path()}));
    EXPECT_EQ(g.wasted(), 20'000'000);
}
