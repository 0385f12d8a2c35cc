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

QStringList strings(const QJsonValue &array)
{
    QStringList out;
    for (const QJsonValue &v : array.toArray())
        out.append(v.toString());
    return out;
}

QString text(const QByteArray &path)
{
    return QString::fromUtf8(path);
}

// A home with two sets of copies, an old download and a fresh one.
struct Home
{
    TempTree t;
    QByteArray small = QByteArray(3000, 's');
    QByteArray big = QByteArray(200'000, 'b');

    Home()
    {
        t.file("Documents/notes.txt", small);
        t.file("Downloads/notes.txt", small);
        t.file("Documents/film.bin", big);
        t.file("Documents/film copy.bin", big);
        t.file("Documents/film (1).bin", big);
        t.file("Downloads/old.zip", QByteArray(5000, 'z'));
        t.setModified("Downloads/old.zip", 1'500'000'000'000);
        t.file("Downloads/fresh.zip", QByteArray(6000, 'f'));
        t.file("Apps/Paint.app/Contents/bin", QByteArray(5000, 'p'));
    }
    QStringList args(const char *command) const
    {
        return {command, "--roots", t.path("Documents") + ':' + t.path("Downloads"), "--apps",
                t.path("Apps")};
    }
};

} // namespace

TEST(DupsCommand, PrintsOneLinePerGroupMostWastedFirst)
{
    Home home;
    const CliRun run = cli(home.args("dups"));
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    const QList<QJsonObject> groups = lines(run.out);
    ASSERT_EQ(groups.size(), 2);
    EXPECT_EQ(groups[0].keys(), (QStringList{"id", "itemUris", "items", "keep", "keepUri", "wasted"}));
    EXPECT_EQ(groups[0].value("wasted").toDouble(), 400'000);
    EXPECT_EQ(groups[0].value("keep").toString(), text(home.t.path("Documents/film.bin")));
    EXPECT_EQ(strings(groups[0].value("items")).size(), 3);
    EXPECT_TRUE(groups[0].value("id").toString().startsWith("200000-"));
    EXPECT_EQ(groups[1].value("id").toString(), "3000--" + text(home.t.path("Documents/notes.txt")));
    EXPECT_EQ(strings(groups[1].value("items")),
              (QStringList{text(home.t.path("Documents/notes.txt")), text(home.t.path("Downloads/notes.txt"))}));
    EXPECT_EQ(groups[1].value("wasted").toDouble(), 3000);
}

TEST(CleanupCommand, PrintsTheSixCardsThenTheTotal)
{
    Home home;
    const CliRun run = cli(home.args("cleanup"));
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    const QList<QJsonObject> out = lines(run.out);
    ASSERT_EQ(out.size(), 7);
    QStringList kinds;
    for (qsizetype i = 0; i < 6; ++i)
        kinds.append(out[i].value("kind").toString());
    EXPECT_EQ(kinds, (QStringList{"duplicates", "downloads", "installers", "screenshots", "videos", "apps"}));
    EXPECT_EQ(out[0].value("count").toInt(), 3);
    EXPECT_EQ(out[0].value("bytes").toDouble(), 403'000); // after the duplicate search
    EXPECT_EQ(strings(out[1].value("items")), (QStringList{text(home.t.path("Downloads/old.zip"))}));
    EXPECT_EQ(out[1].value("bytes").toDouble(), 5000);
    EXPECT_EQ(out[6], (QJsonObject{{"total", 408'000}}));
}

TEST(DupsCommand, BadArgumentsGetOneLineAndStatusTwo)
{
    for (const QStringList &args : {QStringList{"dups", "--roots", "/no/such/folder"},
                                    QStringList{"cleanup", "stray"}, QStringList{"dups", "--frobnicate"}}) {
        const CliRun run = cli(args);
        EXPECT_EQ(run.status, 2) << args.join(' ').toStdString();
        EXPECT_TRUE(run.out.isEmpty());
        EXPECT_EQ(run.err.count('\n'), 1) << run.err.toStdString();
    }
}
