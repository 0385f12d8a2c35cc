#include "clirun.h"
#include "tempdir.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

#include <gtest/gtest.h>

namespace {

CliRun cli(const QStringList &args)
{
    return runCli(QStringLiteral(TOVALO_CLI), args);
}

QList<QJsonObject> lines(const QByteArray &out)
{
    return jsonLines(out);
}

} // namespace

TEST(ScanCommand, PrintsOneRecordPerLineNewestFirst)
{
    TempTree t;
    t.file("Docs/old.txt", "old");
    t.file("Docs/new.pdf", "newer");
    t.file("Docs/caf\xe9.txt", "latin");
    t.file("Apps/Paint.app/Contents/bin", QByteArray(5000, 'p'));
    t.setModified("Docs/old.txt", 1'500'000'000'000);
    const CliRun run = cli({"scan", "--roots", t.path("Docs"), "--apps", t.path("Apps")});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains("Tovalo: read 4 files in "));
    const QList<QJsonObject> records = lines(run.out);
    ASSERT_EQ(records.size(), 4);
    EXPECT_EQ(records.last().value("name").toString(), "old.txt");
    const QStringList members = {"path",    "name",   "ext",          "kind",        "size",
                                 "modified", "created", "added",      "source",      "isScreenshot",
                                 "isCloudOnly", "lastUsed", "uri"};
    for (const QJsonObject &r : records)
        EXPECT_EQ(r.keys().size(), members.size());
    EXPECT_EQ(records.last().value("modified").toString(), "2017-07-14T02:40:00.000Z");
    EXPECT_TRUE(records.last().value("source").isNull());
    for (const QJsonObject &r : records)
        if (r.value("kind").toString() == "app") {
            EXPECT_GT(r.value("size").toDouble(), 0); // waits for application sizes
        }
}

TEST(ScanCommand, Summary)
{
    TempTree t;
    t.file("Docs/a.txt", "aa");
    t.file("Docs/b.png", "bbb");
    t.file("Docs/Screenshot from 2025-01-01 10-00-00.png", "cccc");
    const CliRun run = cli({"scan", "--roots", t.path("Docs"), "--apps", t.path("Docs"), "--summary"});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    const QJsonObject s = QJsonDocument::fromJson(run.out).object();
    EXPECT_EQ(s.value("items").toInt(), 3);
    EXPECT_EQ(s.value("byKind").toObject().value("image").toInt(), 2);
    EXPECT_EQ(s.value("sizeByKind").toObject().value("image").toInt(), 7);
    EXPECT_EQ(s.value("totalSize").toInt(), 9);
    EXPECT_EQ(s.value("screenshots").toInt(), 1);
    EXPECT_EQ(s.value("recents").toInt(), 3);
    EXPECT_EQ(s.value("largeFiles").toInt(), 0);
    EXPECT_TRUE(s.value("sources").toArray().isEmpty());
}

TEST(ScanCommand, BadUsageIsOneLineAndStatusTwo)
{
    TempTree t;
    const QList<QStringList> cases = {
        {"scan", "--bogus"},
        {"scan", "--roots", t.path("missing")},
        {"scan", "--apps", t.path("missing")},
        {"scan", "extra"},
        {"frobnicate"},
    };
    for (const QStringList &args : cases) {
        const CliRun run = cli(args);
        EXPECT_EQ(run.status, 2) << args.join(' ').toStdString();
        EXPECT_TRUE(run.out.isEmpty());
        EXPECT_GE(run.err.count('\n'), 1);
    }
    EXPECT_EQ(cli({"scan", "--bogus"}).err.count('\n'), 1);
}
