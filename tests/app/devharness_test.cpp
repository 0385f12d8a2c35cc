// The pieces of the launch modes that read values and write lines.
#include "devharness.h"
#include "snapshotmode.h"

#include <gtest/gtest.h>

namespace {

TEST(DevHarness, PageNamesOpenTheirRoutes)
{
    const struct
    {
        const char *name;
        std::optional<Route> route;
    } cases[] = {
        {"recents", Route::recents()},
        {"images", Route::kind(Kind::image)},
        {"apps", Route::kind(Kind::app)},
        {"screenshots", Route::screenshots()},
        {"duplicates", Route::duplicates()},
        {"cleanup", Route::cleanup()},
        {"review", Route::cleanupDetail(CleanupKind::downloads)},
        {"sources", Route::sources()},
        {"videos", std::nullopt},
        {"Images", std::nullopt},
        {"home", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto &c : cases)
        EXPECT_EQ(DevHarness::routeNamed(QString::fromLatin1(c.name)), c.route) << c.name;
}

TEST(DevHarness, WaitIsSevenSecondsUnlessANumberIsGiven)
{
    const struct
    {
        std::optional<QString> text;
        double seconds;
    } cases[] = {
        {std::nullopt, 7}, {"abc", 7}, {"", 7}, {"nan", 7}, {"inf", 7}, {"2s", 7},
        {"1.5", 1.5},      {" 3 ", 3}, {"0", 0},
    };
    for (const auto &c : cases)
        EXPECT_EQ(DevHarness::waitSeconds(c.text), c.seconds) << c.text.value_or("(absent)").toStdString();
}

TEST(DevHarness, ListsAreBracketedQuotedAndEscaped)
{
    EXPECT_EQ(DevHarness::quotedList({}), "[]");
    EXPECT_EQ(DevHarness::quotedList({"~/a b.pdf", "~/say \"hi\".txt", "~/back\\slash"}),
              "[\"~/a b.pdf\", \"~/say \\\"hi\\\".txt\", \"~/back\\\\slash\"]");
    EXPECT_EQ(SnapshotMode::searchLine({"~/Documents/a.pdf"}, 12),
              "search-test visible=12 first=[\"~/Documents/a.pdf\"]");
}

TEST(DevHarness, SubjectsAreRankedByHowManyPicturesCarryThem)
{
    QHash<QByteArray, QStringList> subjects;
    subjects.insert("/p/1.jpg", {"cat", "person", "cat"});
    subjects.insert("/p/2.jpg", {"person"});
    subjects.insert("/p/3.jpg", {"dog", "person"});
    subjects.insert("/p/4.jpg", {});
    EXPECT_EQ(SnapshotMode::subjectsLine(subjects, 3, 5),
              "subjects pictures=4 read=3/5 top: person 3, cat 1, dog 1");

    QHash<QByteArray, QStringList> many;
    for (int i = 0; i < 60; ++i)
        many.insert(QByteArray::number(i), {QStringLiteral("label%1").arg(i, 2, 10, QLatin1Char('0'))});
    const QString line = SnapshotMode::subjectsLine(many, 60, 60);
    EXPECT_EQ(line.count(QStringLiteral(", ")), 44);
    EXPECT_TRUE(line.endsWith("label44 1"));
}

} // namespace
