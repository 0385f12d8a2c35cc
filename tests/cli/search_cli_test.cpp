#include "tempdir.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

#include <gtest/gtest.h>

namespace {

struct Outcome
{
    int status;
    QList<QJsonObject> lines;
    QByteArray err;
};

Outcome search(const QStringList &args, const QByteArray &demoHome = {})
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("TOVALO_ROOTS");
    env.insert("TOVALO_DEMO_DATES", "1");
    if (!demoHome.isEmpty())
        env.insert("TOVALO_DEMO_HOME", QString::fromUtf8(demoHome));
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(TOVALO_CLI), QStringList{"search"} + args);
    p.waitForFinished(60000);
    Outcome run{p.exitCode(), {}, p.readAllStandardError()};
    for (const QByteArray &line : p.readAllStandardOutput().split('\n'))
        if (!line.isEmpty())
            run.lines.append(QJsonDocument::fromJson(line).object());
    return run;
}

class SearchCommand : public ::testing::Test
{
protected:
    void SetUp() override
    {
        t.file("Docs/R\xc3\xa9sum\xc3\xa9 2024.pdf", QByteArray(2000, 'r'));
        t.file("Docs/resume-notes.txt", "n");
        t.file("Docs/holiday.jpg", QByteArray(6000, 'j'));
        t.file("Docs/caf\xe9 receipt.pdf", "latin-1 name");
        t.file("Apps/Resume Builder.app/Contents/bin", "x");
        t.setModified("Docs/resume-notes.txt", 1'600'000'000'000);
        t.setModified("Docs/R\xc3\xa9sum\xc3\xa9 2024.pdf", 1'700'000'000'000);
    }
    Outcome in(const QString &text) { return search({text, "--roots", t.path("Docs"), "--apps", t.path("Apps")}, t.path()); }
    TempTree t;
};

TEST_F(SearchCommand, PrintsTheFoundRecordsNewestFirstThenTheCounts)
{
    const Outcome run = in("resume");
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    ASSERT_EQ(run.lines.size(), 4);
    EXPECT_EQ(run.lines.at(0).value("name").toString(), "Resume Builder.app");
    EXPECT_EQ(run.lines.at(1).value("name").toString(), QString::fromUtf8("Résumé 2024.pdf"));
    EXPECT_EQ(run.lines.at(2).value("name").toString(), "resume-notes.txt");
    EXPECT_EQ(run.lines.at(1).value("kind").toString(), "document");
    EXPECT_TRUE(run.lines.at(1).contains("added"));
    EXPECT_EQ(run.lines.last(), (QJsonObject{{"matches", 3}, {"beyond", 0}}));
}

TEST_F(SearchCommand, FiltersAndOddNames)
{
    const struct
    {
        const char *text;
        int matches;
    } cases[] = {{"pdfs over 1 kb", 1}, {"pdf", 2}, {"receipt", 1}, {"caf", 1},
                 {"images under 1 kb", 0}, {"photos taken with my iphone", 0},
                 {"", 5}}; // text given but empty: the whole catalog
    for (const auto &c : cases) {
        const Outcome run = in(QString::fromUtf8(c.text));
        ASSERT_EQ(run.status, 0) << c.text << run.err.toStdString();
        ASSERT_FALSE(run.lines.isEmpty());
        EXPECT_EQ(run.lines.last().value("matches").toInt(), c.matches) << c.text;
        EXPECT_EQ(run.lines.size(), c.matches + 1) << c.text;
    }
}

TEST_F(SearchCommand, AMissingFolderIsBadUsage)
{
    const Outcome run = search({"x", "--roots", t.path("nowhere")});
    EXPECT_EQ(run.status, 2);
    EXPECT_TRUE(run.err.contains("no such folder"));
    EXPECT_TRUE(run.lines.isEmpty());
}

} // namespace
