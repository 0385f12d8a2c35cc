#include "extractclient.h"
#include "folderwatcher.h"
#include "indexer.h"
#include "indexservice.h"
#include "indexstore.h"
#include "tempdir.h"

#include <gtest/gtest.h>

#include <QFile>

#include <cstdio>
#include <sys/stat.h>

namespace {

// One index file beside a home folder, both temporary.
class IndexFixture : public ::testing::Test
{
protected:
    QString file() const { return QFile::decodeName(m_data.path("index.sqlite")); }

    bool pass()
    {
        Indexer indexer(file(), {home.path()}, ExtractClient::helperCommand());
        return indexer.runPass(false);
    }

    // path relative to home -> body text ("" when none), read through a reader connection.
    std::map<QByteArray, QString> rows() const
    {
        std::map<QByteArray, QString> out;
        std::optional<SqliteDb> db = IndexStore::openReader(file());
        EXPECT_TRUE(db.has_value());
        if (!db)
            return out;
        SqliteStatement s = db->prepare(
            "SELECT f.path, coalesce(t.body, '') FROM files f LEFT JOIN file_text t ON t.rowid = f.id");
        while (s.step())
            out[s.blob(0).mid(home.path().size() + 1)] = s.text(1);
        return out;
    }

    qint64 column(const QByteArray &relative, const char *name) const
    {
        std::optional<SqliteDb> db = IndexStore::openReader(file());
        SqliteStatement s = db->prepare(QByteArray("SELECT ") + name + " FROM files WHERE path=?1");
        s.bindBlob(1, home.path(relative));
        return s.step() ? s.int64(0) : -1;
    }

    TempTree home;
    TempTree m_data;
};

TEST_F(IndexFixture, FirstPassHoldsTheFilesTheRulesLetIn)
{
    home.file("Documents/plan.txt", "budget plan");
    home.file("Documents/.secret.txt", "hidden");
    home.file(".config/app.txt", "hidden folder");
    home.file("Code/node_modules/lib.js", "dependency");
    home.file("Code/build/out.txt", "build output");
    home.file("Code/Thing.app/Contents/Info.plist", "inside a bundle");
    home.file("Pictures/Photos Library.photoslibrary/db", "library");
    home.file(QByteArray("Documents/bad-\xff-name.txt"), "odd bytes");
    ASSERT_TRUE(pass());
    const auto r = rows();
    std::vector<QByteArray> paths;
    for (const auto &[p, body] : r)
        paths.push_back(p);
    EXPECT_EQ(paths, (std::vector<QByteArray>{"Code", "Code/Thing.app", "Documents",
                                              QByteArray("Documents/bad-\xff-name.txt"), "Documents/plan.txt",
                                              "Pictures"}));
    EXPECT_EQ(r.at("Documents/plan.txt"), u"budget plan");
    EXPECT_EQ(column("Documents/plan.txt", "text_state"), 1);
    EXPECT_EQ(column("Code", "is_dir"), 1);
    QFile perms(file());
    EXPECT_EQ(perms.permissions() & (QFile::ReadGroup | QFile::ReadOther | QFile::WriteGroup), 0);
}

TEST_F(IndexFixture, IncrementalPassesFollowTouchRenameAndDelete)
{
    home.file("Documents/a.txt", "first words");
    home.file("Documents/b.txt", "to be renamed");
    home.file("Documents/c.txt", "to be deleted");
    ASSERT_TRUE(pass());
    const qint64 idA = column("Documents/a.txt", "id");

    home.file("Documents/a.txt", "second words, longer");
    ASSERT_EQ(std::rename(home.path("Documents/b.txt").constData(), home.path("Documents/renamed.txt").constData()),
              0);
    ASSERT_EQ(std::remove(home.path("Documents/c.txt").constData()), 0);
    home.file("Documents/new.txt", "brand new");
    ASSERT_TRUE(pass());

    const auto r = rows();
    EXPECT_EQ(r.at("Documents/a.txt"), u"second words, longer");
    EXPECT_EQ(column("Documents/a.txt", "id"), idA); // updated in place
    EXPECT_EQ(r.at("Documents/renamed.txt"), u"to be renamed");
    EXPECT_EQ(r.count("Documents/b.txt"), 0u);
    EXPECT_EQ(r.count("Documents/c.txt"), 0u);
    EXPECT_EQ(r.at("Documents/new.txt"), u"brand new");
    // The words follow the files in the text table as well.
    std::optional<SqliteDb> db = IndexStore::openReader(file());
    SqliteStatement s = db->prepare("SELECT count(*) FROM file_text WHERE file_text MATCH 'deleted OR first'");
    ASSERT_TRUE(s.step());
    EXPECT_EQ(s.int64(0), 0);
}

TEST_F(IndexFixture, AFileAReaderFailedOnIsNotReadAgainUntilItChanges)
{
    home.file("Documents/broken.pdf", "not a pdf");
    ASSERT_TRUE(pass());
    EXPECT_EQ(column("Documents/broken.pdf", "text_state"), 2);
    // A second pass with a helper that would hang on every file finishes: it is never asked.
    {
        Indexer indexer(file(), {home.path()}, {QStringLiteral("/bin/sh"), QStringLiteral("-c"),
                                                QStringLiteral("exec sleep 600")});
        ASSERT_TRUE(indexer.runPass(false));
        EXPECT_EQ(indexer.status().done, indexer.status().found);
    }
    EXPECT_EQ(column("Documents/broken.pdf", "text_state"), 2);
}

TEST_F(IndexFixture, ADamagedIndexIsMovedAsideAndRebuilt)
{
    home.file("Documents/a.txt", "words");
    {
        QFile f(file());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(8192, 'Z'));
    }
    ASSERT_TRUE(pass());
    EXPECT_EQ(rows().at("Documents/a.txt"), u"words");
    const QStringList aside = QDir(QFile::decodeName(m_data.path())).entryList({QStringLiteral("index.sqlite.damaged-*")});
    ASSERT_EQ(aside.size(), 1);
}

TEST_F(IndexFixture, ANewFileInAWatchedFolderArrivesWithoutAPass)
{
    home.folder("Documents");
    FolderWatcher watcher;
    IndexService service(file());
    service.start({home.path()}, &watcher);
    ASSERT_TRUE(waitUntil([&] { return service.status().lastPass.has_value(); }));
    watcher.watch({home.path("Documents")}, [] {});
    ASSERT_TRUE(waitUntil([&] { return watcher.isSettled() && watcher.watchCount() > 0; }));

    home.file("Documents/arrived.txt", "fresh text");
    home.file("Documents/Sub/deeper.txt", "deeper text");
    EXPECT_TRUE(waitUntil([&] { return rows().count("Documents/Sub/deeper.txt") == 1; }));
    EXPECT_EQ(rows().at("Documents/arrived.txt"), u"fresh text");

    ASSERT_EQ(std::remove(home.path("Documents/arrived.txt").constData()), 0);
    EXPECT_TRUE(waitUntil([&] { return rows().count("Documents/arrived.txt") == 0; }));
}

TEST_F(IndexFixture, WaitsWhileTheComputerSavesPowerAndSaysWhy)
{
    home.file("Documents/plan.txt", "budget plan");
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    IndexService service(file());
    if (service.isPaused())
        GTEST_SKIP() << "indexing is paused in this user's settings";
    struct Case
    {
        PowerSaving saving;
        const char16_t *line;
    };
    for (const Case &c : {Case{PowerSaving::battery, u"Paused while on battery"},
                          Case{PowerSaving::powerSaver, u"Paused in power saver mode"}}) {
        service.setPowerSaving(c.saving);
        EXPECT_EQ(service.indexProgressText(), QStringView(c.line));
    }

    // On battery from the start: the indexer waits before it writes anything.
    service.setPowerSaving(PowerSaving::battery);
    service.start({home.path()}, nullptr);
    ASSERT_TRUE(waitUntil([&] { return service.status().state == IndexStatus::State::paused; }));
    EXPECT_FALSE(service.status().lastPass.has_value());
    EXPECT_EQ(service.indexProgressText(), u"Paused while on battery");

    service.setPowerSaving(PowerSaving::none);
    ASSERT_TRUE(waitUntil([&] { return service.status().lastPass.has_value(); }));
    EXPECT_EQ(rows().count("Documents/plan.txt"), 1u);
    EXPECT_TRUE(service.indexProgressText().startsWith(u"Index up to date"));
}

TEST_F(IndexFixture, ProgressLineFollowsTheState)
{
    IndexStatus s;
    s.state = IndexStatus::State::indexing;
    s.done = 1204;
    s.found = 5310;
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_EQ(s.text(), u"Indexing files: 1,204 of 5,310");
    s.state = IndexStatus::State::paused;
    EXPECT_EQ(s.text(), u"Indexing paused: 1,204 of 5,310 files");
    s.state = IndexStatus::State::idle;
    EXPECT_EQ(s.text(), u"Index not built yet");
    s.lastPass = 1;
    s.files = 5310;
    EXPECT_EQ(s.text(), u"Index up to date: 5,310 files");
    s.state = IndexStatus::State::off;
    EXPECT_EQ(s.text(), u"Index is off");
}

} // namespace
