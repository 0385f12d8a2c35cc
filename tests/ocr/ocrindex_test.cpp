#include "analysis/ocrindex.h"
#include "library/library.h"
#include "qtprinters.h"
#include "tempdir.h"

#include <QFile>
#include <QSemaphore>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include <mutex>
#include <sys/stat.h>
#include <vector>

namespace {

// 2024-06-01T12:00:00Z.
constexpr Millis kNow = 1'717'243'200'000;
constexpr Millis kDay = 86'400'000;
constexpr Millis kCutoff = kNow - OCRIndex::kRecentMs;

struct Image
{
    QByteArray path;
    Millis modified = kNow - kDay;
    Millis added = kDistantPast;
    QString ext = QStringLiteral("png");
    Kind kind = Kind::image;
    qint64 size = 1000;
    bool screenshot = false;
    bool cloud = false;
};

FileItem record(const Image &i)
{
    FileItem::Fields f;
    f.path = i.path;
    f.ext = i.ext;
    f.kind = i.kind;
    f.size = i.size;
    f.modified = i.modified;
    f.created = i.modified;
    f.added = i.added;
    f.isScreenshot = i.screenshot;
    f.isCloudOnly = i.cloud;
    return FileItem(f);
}

Library::Environment quietCatalog()
{
    Library::Environment env;
    env.home = "/home/ana";
    env.demoRoots = Library::Paths{};
    env.appDirs = [] { return Library::Paths{}; };
    env.now = [] { return kNow; };
    env.later = [](int, std::function<void()>) {};
    env.scan = [](const Library::Paths &, const Library::Paths &) { return QList<FileItem>{}; };
    env.folderSize = [](const QByteArray &) { return qint64(0); };
    env.watchFolders = false;
    return env;
}

struct Call
{
    QByteArray path;
    bool readText;
    friend bool operator==(const Call &, const Call &) = default;
};

// Stands in for the image reader: answers from the path, records every call,
// and lets a test act at a chosen call (on the index's thread).
struct FakeReader
{
    std::mutex lock;
    std::vector<Call> calls;
    std::function<OCRIndex::Look(const QByteArray &)> answer = [](const QByteArray &path) {
        return OCRIndex::Look{QString::fromUtf8("text of " + path), {QStringLiteral("label of ") + path}, true};
    };
    std::function<void(int call)> during;

    OCRIndex::LookFunction function()
    {
        return [this](const QByteArray &path, bool readText) {
            int n;
            {
                std::lock_guard guard(lock);
                calls.push_back({path, readText});
                n = int(calls.size());
            }
            if (during)
                during(n);
            OCRIndex::Look seen = answer(path);
            if (!readText)
                seen.text.clear();
            return seen;
        };
    }
    std::vector<Call> seen()
    {
        std::lock_guard guard(lock);
        return calls;
    }
};

class OcrPass : public ::testing::Test
{
protected:
    OcrPass() : library(quietCatalog()) {}

    QString storePath() const { return QFile::decodeName(tree.path("data/Tovalo/text-in-images.json")); }

    std::unique_ptr<OCRIndex> makeIndex()
    {
        OCRIndex::Environment env;
        env.storePath = storePath();
        env.look = reader.function();
        env.now = [] { return kNow; };
        env.library = &library;
        return std::make_unique<OCRIndex>(std::move(env));
    }

    // Runs one pass to its end.
    void pass(OCRIndex &index, const QList<FileItem> &items)
    {
        QSignalSpy finished(&index, &OCRIndex::passFinished);
        index.start(items);
        ASSERT_TRUE(waitUntil([&] { return finished.count() == 1; }, std::chrono::seconds(60)));
    }

    qsizetype storedEntries() const
    {
        const auto stored = OcrStore::load(storePath());
        return stored ? stored->size() : 0;
    }

    TempTree tree;
    Library library;
    FakeReader reader;
};

QList<QByteArray> paths(const std::vector<Call> &calls)
{
    QList<QByteArray> out;
    for (const Call &c : calls)
        out.append(c.path);
    return out;
}

} // namespace

TEST_F(OcrPass, ReadsRecentImagesAndOldScreenshotsNewestFirst)
{
    struct Case
    {
        Image image;
        bool read;
    };
    const Millis threeYears = 3 * 365 * kDay;
    std::vector<Case> cases = {
        {{"/p/recent.png", kNow - 5 * kDay}, true},
        {{"/p/newest.jpg", kNow - kDay, kDistantPast, "jpg"}, true},
        {{"/p/old-photo.jpg", kNow - threeYears, kDistantPast, "jpg"}, false},
        {{"/p/old-shot.png", kNow - threeYears, kDistantPast, "png", Kind::image, 1000, true}, true},
        {{"/p/moved-in.jpg", kNow - threeYears, kNow - 2 * kDay, "jpg"}, true},
        {{"/p/at-cutoff.png", kCutoff}, false},
        {{"/p/after-cutoff.png", kCutoff + 1}, true},
        {{"/p/big.png", kNow - kDay, kDistantPast, "png", Kind::image, 45'000'000}, false},
        {{"/p/limit.png", kNow - kDay, kDistantPast, "png", Kind::image, 40'000'000}, false},
        {{"/p/under.png", kNow - 3 * kDay, kDistantPast, "png", Kind::image, 39'999'999}, true},
        {{"/p/cloud.png", kNow - kDay, kDistantPast, "png", Kind::image, 1000, false, true}, false},
        {{"/p/notes.txt", kNow - kDay, kDistantPast, "txt", Kind::document}, false},
    };
    for (const char *ext : {"svg", "psd", "ico", "gif", "raw", "cr2", "cr3", "nef", "arw", "dng"})
        cases.push_back({{QByteArray("/p/skipped.") + ext, kNow - kDay, kDistantPast, QString::fromLatin1(ext)}, false});

    QList<FileItem> items;
    for (const Case &c : cases)
        items.append(record(c.image));
    auto index = makeIndex();
    pass(*index, items);

    // Screenshots first, then by the later of modified and added, newest first.
    const QList<QByteArray> expected = {"/p/old-shot.png", "/p/newest.jpg",  "/p/moved-in.jpg", "/p/under.png",
                                        "/p/recent.png",   "/p/after-cutoff.png"};
    EXPECT_EQ(paths(reader.seen()), expected);
    for (const Call &c : reader.seen())
        EXPECT_TRUE(c.readText) << c.path.constData();
    EXPECT_EQ(library.ocrTotal(), expected.size());
    EXPECT_EQ(library.ocrDone(), expected.size());
    EXPECT_EQ(library.ocr().size(), expected.size());
}

TEST_F(OcrPass, ReadsAtMostSixThousandPerPassAndTheRestLater)
{
    QList<FileItem> items;
    for (int i = 0; i < 6500; ++i)
        items.append(record({"/p/photo" + QByteArray::number(i) + ".jpg", kNow - kDay - i * 1000}));
    for (int i = 0; i < 500; ++i)
        items.append(record({"/p/shot" + QByteArray::number(i) + ".png", kNow - 400 * kDay - i * 1000,
                             kDistantPast, "png", Kind::image, 1000, true}));
    auto index = makeIndex();
    pass(*index, items);

    const std::vector<Call> first = reader.seen();
    ASSERT_EQ(first.size(), 6000u);
    EXPECT_EQ(library.ocrTotal(), 6000);
    EXPECT_EQ(library.ocrDone(), 6000);
    EXPECT_EQ(first.front().path, "/p/shot0.png");
    EXPECT_EQ(first[499].path, "/p/shot499.png");
    EXPECT_EQ(first[500].path, "/p/photo0.jpg");
    EXPECT_EQ(first.back().path, "/p/photo5499.jpg");

    pass(*index, items);
    const std::vector<Call> all = reader.seen();
    ASSERT_EQ(all.size(), 7000u);
    EXPECT_EQ(all[6000].path, "/p/photo5500.jpg");
    EXPECT_EQ(all.back().path, "/p/photo6499.jpg");
    EXPECT_EQ(library.ocrTotal(), 1000);
    EXPECT_EQ(library.ocr().size(), 7000);
}

TEST_F(OcrPass, PublishesStoredAnswersBeforeReadingAndReadsOnlyWhatIsMissing)
{
    const Image kept{"/p/kept.png", kNow - 9 * kDay};
    const Image unlabelled{"/p/unlabelled.png", kNow - 2 * kDay};
    const Image touched{"/p/touched.png", kNow - 3 * kDay};
    const Image blank{"/p/blank.png", kNow - 4 * kDay};
    const Image fresh{"/p/fresh.png", kNow - 5 * kDay};
    const auto seconds = [](Millis ms) { return double(ms) / 1000.0; };
    OcrStore::Entries stored;
    stored.insert(kept.path, {seconds(kept.modified), kept.size, "alpha", QStringList{"dog"}});
    stored.insert(unlabelled.path, {seconds(unlabelled.modified), unlabelled.size, "beta", std::nullopt});
    stored.insert(touched.path, {seconds(touched.modified - 1), touched.size, "stale", QStringList{"cat"}});
    stored.insert(blank.path, {seconds(blank.modified), blank.size, "", QStringList{}});
    stored.insert("/p/gone.png", {1.5, 7, "gone", QStringList{"tree"}});
    auto index = makeIndex(); // makes the store's folder
    ASSERT_TRUE(OcrStore::save(storePath(), stored));

    QSemaphore gate;
    reader.during = [&](int call) {
        if (call == 1)
            gate.acquire();
    };
    QSignalSpy finished(index.get(), &OCRIndex::passFinished);
    index->start({record(kept), record(unlabelled), record(touched), record(blank), record(fresh)});
    // The first image is being read and cannot finish: what is published now came from the store.
    const QHash<QByteArray, QString> storedTexts{{kept.path, "alpha"}, {unlabelled.path, "beta"}};
    const QHash<QByteArray, QStringList> storedLabels{{kept.path, {"dog"}}};
    const bool published = waitUntil([&] {
        return library.ocr() == storedTexts && library.subjects() == storedLabels && library.ocrTotal() == 3;
    });
    gate.release();
    ASSERT_TRUE(published);
    EXPECT_EQ(library.ocrDone(), 0);
    ASSERT_TRUE(waitUntil([&] { return finished.count() == 1; }));

    const std::vector<Call> expected = {{unlabelled.path, false}, {touched.path, true}, {fresh.path, true}};
    EXPECT_EQ(reader.seen(), expected);
    EXPECT_EQ(library.ocr().value(unlabelled.path), "beta");
    EXPECT_EQ(library.ocr().value(touched.path), "text of /p/touched.png");
    EXPECT_EQ(library.subjects().value(unlabelled.path), QStringList{"label of /p/unlabelled.png"});
    EXPECT_FALSE(library.ocr().contains(blank.path));
    EXPECT_FALSE(library.ocr().contains("/p/gone.png"));

    const auto after = OcrStore::load(storePath());
    ASSERT_TRUE(after);
    EXPECT_EQ(after->value(unlabelled.path).t, "beta");
    EXPECT_EQ(after->value(unlabelled.path).l, QStringList{"label of /p/unlabelled.png"});
    EXPECT_EQ(after->value(touched.path).m, seconds(touched.modified));
    EXPECT_FALSE(after->contains("/p/gone.png")); // text of pictures gone from the catalog goes too
}

TEST_F(OcrPass, PublishesEveryTwelveImagesAndKeepsEmptyAnswersOutOfTheCatalog)
{
    QList<FileItem> items;
    for (int i = 0; i < 30; ++i)
        items.append(record({"/p/" + QByteArray::number(i) + ".png", kNow - kDay - i}));
    // Every fifth image shows nothing the reader recognises.
    reader.answer = [](const QByteArray &path) {
        const int n = path.mid(3, path.size() - 7).toInt();
        if (n % 5 == 0)
            return OCRIndex::Look{};
        return OCRIndex::Look{QString::fromUtf8("text " + path), {QStringLiteral("thing")}, true};
    };
    struct Progress
    {
        int done;
        qsizetype texts;
        qsizetype labels;
        bool operator==(const Progress &) const = default;
    };
    std::vector<Progress> progress;
    QObject::connect(&library, &Library::ocrDoneChanged, &library, [&] {
        progress.push_back({library.ocrDone(), library.ocr().size(), library.subjects().size()});
    });
    auto index = makeIndex();
    pass(*index, items);

    const std::vector<Progress> expected = {{12, 9, 9}, {24, 19, 19}, {30, 24, 24}};
    EXPECT_EQ(progress, expected);
    EXPECT_EQ(library.ocrTotal(), 30);
    EXPECT_FALSE(library.ocr().contains("/p/5.png"));
    EXPECT_FALSE(library.subjects().contains("/p/5.png"));
    const auto stored = OcrStore::load(storePath());
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->value("/p/5.png"), (OcrStore::Entry{double(kNow - kDay - 5) / 1000.0, 1000, "", QStringList{}}));

    // Unchanged files are not read again; a touched one is read in full.
    progress.clear();
    items[7] = record({"/p/7.png", kNow - kDay / 2});
    pass(*index, items);
    EXPECT_EQ(reader.seen().size(), 31u);
    EXPECT_EQ(reader.seen().back(), (Call{"/p/7.png", true}));
    EXPECT_EQ(library.ocrTotal(), 1);
    EXPECT_EQ(library.ocr().size(), 24);

    pass(*index, items);
    EXPECT_EQ(reader.seen().size(), 31u);
    EXPECT_EQ(library.ocrDone(), 0);
    EXPECT_EQ(library.ocrTotal(), 0);
    EXPECT_EQ(library.ocr().size(), 24);
}

TEST_F(OcrPass, SavesTheStoreEveryHundredAndFiftyImagesAndAtTheEnd)
{
    QList<FileItem> items;
    for (int i = 0; i < 160; ++i)
        items.append(record({"/p/" + QByteArray::number(i) + ".png", kNow - kDay - i}));
    std::vector<qsizetype> onDisk;
    reader.during = [&](int) { onDisk.push_back(storedEntries()); };
    auto index = makeIndex();
    pass(*index, items);

    ASSERT_EQ(onDisk.size(), 160u);
    EXPECT_EQ(std::count(onDisk.begin(), onDisk.begin() + 150, 0), 150);
    EXPECT_EQ(std::count(onDisk.begin() + 150, onDisk.end(), 150), 10);
    EXPECT_EQ(storedEntries(), 160);
    struct stat st;
    ASSERT_EQ(::stat(QFile::encodeName(storePath()).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
}

TEST_F(OcrPass, SkipsOnlyTheBadEntriesOfAStoreAndDropsThemAtTheNextSave)
{
    const Image photo{"/p/photo.png"};
    auto index = makeIndex();
    QFile file(storePath());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    const QByteArray modified = QByteArray::number(double(photo.modified) / 1000.0, 'f', 3);
    file.write("{\"/p/photo.png\":{\"m\":" + modified + ",\"s\":1000,\"t\":\"kept\",\"l\":[]},"
               "\"/p/other.png\":{\"m\":1.5,\"s\":3}}");
    file.close();
    pass(*index, {record(photo)});

    // The good entry still answers; only the bad one is lost.
    EXPECT_TRUE(reader.seen().empty());
    EXPECT_EQ(library.ocr().value(photo.path), "kept");
    const auto stored = OcrStore::load(storePath());
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->keys(), QList<QByteArray>{photo.path});
}

TEST_F(OcrPass, ANewerCatalogCutsTheRunningPassShortWithoutLosingWhatItRead)
{
    QList<FileItem> items;
    for (int i = 0; i < 30; ++i)
        items.append(record({"/p/" + QByteArray::number(i) + ".png", kNow - kDay - i}));
    QSemaphore gate;
    std::vector<qsizetype> onDisk;
    reader.during = [&](int call) {
        if (call == 1)
            gate.acquire();
        if (call == 2)
            onDisk.push_back(storedEntries());
    };
    auto index = makeIndex();
    QSignalSpy finished(index.get(), &OCRIndex::passFinished);
    index->start(items);
    ASSERT_TRUE(waitUntil([&] { return reader.seen().size() == 1; }));
    index->start(items);
    gate.release();
    ASSERT_TRUE(waitUntil([&] { return finished.count() == 2; }));

    const QList<QByteArray> read = paths(reader.seen());
    EXPECT_EQ(read.size(), 30);
    EXPECT_EQ(QSet<QByteArray>(read.begin(), read.end()).size(), 30);
    // The cut pass stored its one image before the next pass read another.
    EXPECT_EQ(onDisk, std::vector<qsizetype>{1});
    EXPECT_EQ(library.ocrDone(), 29);
    EXPECT_EQ(library.ocr().size(), 30);
}

TEST_F(OcrPass, AHeldPassWaitsBeforeItsNextImageAndGoesOnWhenReleased)
{
    QList<FileItem> items;
    for (int i = 0; i < 5; ++i)
        items.append(record({"/p/" + QByteArray::number(i) + ".png", kNow - kDay - i}));
    auto index = makeIndex();
    // Held from the start (on battery at launch): the pass counts, then waits.
    index->setHeld(true);
    QSignalSpy finished(index.get(), &OCRIndex::passFinished);
    index->start(items);
    ASSERT_TRUE(waitUntil([&] { return library.ocrTotal() == 5; }));
    EXPECT_TRUE(reader.seen().empty());
    EXPECT_EQ(finished.count(), 0);

    // Held in the middle: the image being read is finished, no other is begun.
    reader.during = [&](int call) {
        if (call == 2)
            index->setHeld(true);
    };
    index->setHeld(false);
    ASSERT_TRUE(waitUntil([&] { return reader.seen().size() == 2 && library.ocr().size() == 0 && index->isHeld(); }));
    EXPECT_EQ(finished.count(), 0);
    index->setHeld(false);
    ASSERT_TRUE(waitUntil([&] { return finished.count() == 1; }));
    EXPECT_EQ(reader.seen().size(), 5u);
    EXPECT_EQ(library.ocr().size(), 5);
}

TEST_F(OcrPass, ANewerCatalogEndsAHeldPassAndTheEndDoesNotWaitForARelease)
{
    auto index = makeIndex();
    index->setHeld(true);
    QSignalSpy finished(index.get(), &OCRIndex::passFinished);
    index->start({record({"/p/a.png", kNow - kDay})});
    ASSERT_TRUE(waitUntil([&] { return library.ocrTotal() == 1; }));
    index->start({record({"/p/b.png", kNow - kDay})});
    ASSERT_TRUE(waitUntil([&] { return finished.count() == 1; }));
    EXPECT_TRUE(reader.seen().empty());
    index.reset(); // still held: must not hang
}

TEST(OcrLabels, KeepsConfidentLabelsInOrderAtMostTen)
{
    using O = ImageClassifier::Observation;
    struct Case
    {
        const char *name;
        QList<O> observations;
        QStringList labels;
    };
    QList<O> twelve;
    QStringList firstTen;
    for (int i = 0; i < 12; ++i) {
        twelve.append(O{QStringLiteral("thing_%1").arg(i), 0.9f - 0.01f * float(i)});
        if (i < 10)
            firstTen.append(QStringLiteral("thing %1").arg(i));
    }
    const std::vector<Case> cases = {
        {"threshold", {O{"dog", 0.31f}, O{"cat", 0.29f}}, {"dog"}},
        {"exactly 0.3 counts", {O{"tree", 0.3f}}, {"tree"}},
        {"service order kept", {O{"outdoor", 0.4f}, O{"sky", 0.9f}}, {"outdoor", "sky"}},
        {"underscores and case", {O{"Sports_Car", 0.8f}}, {"sports car"}},
        {"twelve confident", twelve, firstTen},
        {"none", {}, {}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(OCRIndex::subjectLabels(c.observations), c.labels) << c.name;
}
