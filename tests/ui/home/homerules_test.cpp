// The home page's pure rules: greeting, columns, counts, fan and bar geometry, texts.
#include "home/homerules.h"

#include <QLocale>

#include <gtest/gtest.h>

namespace {

FileItem sized(const QByteArray &path, qint64 size)
{
    FileItem::Fields f;
    f.path = path;
    f.size = size;
    return FileItem(f);
}

class HomeRulesText : public ::testing::Test
{
protected:
    void SetUp() override { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }
};

} // namespace

TEST(HomeRules, GreetingByHour)
{
    const struct
    {
        int hour;
        const char *greeting;
    } cases[] = {
        {0, "Good evening"},    {3, "Good evening"},   {4, "Good evening"},    {5, "Good morning"},
        {11, "Good morning"},   {12, "Good afternoon"}, {16, "Good afternoon"}, {17, "Good evening"},
        {23, "Good evening"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(HomeRules::greeting(c.hour), QString::fromUtf8(c.greeting)) << c.hour;
}

TEST(HomeRules, ColumnsAndRecentsByWidth)
{
    const struct
    {
        qreal width;
        int columns;
        int recents;
    } cases[] = {
        {300, 2, 3},  // ⌊308 / 158⌋ = 1, raised to 3
        {600, 2, 3},  // ⌊608 / 158⌋ = 3
        {619, 2, 3},
        {620, 3, 3},
        {800, 3, 5},  // ⌊808 / 158⌋ = 5
        {900, 3, 5},
        {1000, 3, 6}, // ⌊1008 / 158⌋ = 6
        {0, 2, 3},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.width);
        EXPECT_EQ(HomeRules::columns(c.width), c.columns);
        EXPECT_EQ(HomeRules::recentsCount(c.width), c.recents);
    }
}

TEST(HomeRules, PrintPoses)
{
    using Pose = HomeRules::PrintPose;
    const struct
    {
        int index;
        int count;
        qreal hover;
        Pose pose;
    } cases[] = {
        {0, 1, 0, {0, 0, 0, 0}},         {0, 1, 1, {0, 0, 0, 0}},
        {0, 2, 0, {-0.5, -3.5, -22, 3}}, {1, 2, 0, {0.5, 3.5, 22, 3}},
        {0, 2, 1, {-0.5, -6, -28, 3}},   {0, 3, 0, {-1, -7, -44, 6}},
        {1, 3, 0, {0, 0, 0, 0}},         {2, 3, 1, {1, 12, 56, 6}},
        {2, 3, 0.5, {1, 9.5, 50, 6}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << c.index << " of " << c.count << " hover " << c.hover);
        const Pose pose = HomeRules::printPose(c.index, c.count, c.hover);
        EXPECT_DOUBLE_EQ(pose.t, c.pose.t);
        EXPECT_DOUBLE_EQ(pose.angle, c.pose.angle);
        EXPECT_DOUBLE_EQ(pose.dx, c.pose.dx);
        EXPECT_DOUBLE_EQ(pose.dy, c.pose.dy);
    }
    // The middle print is drawn last, so it lies on top.
    EXPECT_EQ(HomeRules::printOrder(3), (QList<int>{0, 2, 1}));
    EXPECT_EQ(HomeRules::printOrder(2), (QList<int>{0, 1}));
    EXPECT_EQ(HomeRules::printOrder(1), (QList<int>{0}));
}

TEST(HomeRules, StorageSegments)
{
    using Segment = HomeRules::Segment;
    const struct
    {
        const char *what;
        QMap<Kind, qint64> sizes;
        qreal width;
        QList<Segment> segments;
    } cases[] = {
        {"only images and videos",
         {{Kind::image, 750}, {Kind::video, 250}, {Kind::music, 0}},
         1002,
         {{Kind::image, 750, 0, 750}, {Kind::video, 250, 752, 250}}},
        {"a tiny kind still shows",
         {{Kind::other, 1}, {Kind::image, 999'999}},
         102,
         {{Kind::image, 999'999, 0, 99.9999}, {Kind::other, 1, 101.9999, 4}}},
        {"kind order, not map order", {{Kind::app, 1}, {Kind::document, 1}}, 6,
         {{Kind::document, 1, 0, 4}, {Kind::app, 1, 6, 4}}},
        {"one byte against a total of one", {{Kind::music, 1}}, 50, {{Kind::music, 1, 0, 50}}},
        {"nothing", {}, 500, {}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        const QList<Segment> got = HomeRules::storageSegments(c.sizes, c.width);
        ASSERT_EQ(got.size(), c.segments.size());
        for (qsizetype i = 0; i < got.size(); ++i) {
            EXPECT_EQ(got[i].kind, c.segments[i].kind);
            EXPECT_EQ(got[i].bytes, c.segments[i].bytes);
            EXPECT_NEAR(got[i].x, c.segments[i].x, 1e-6);
            EXPECT_NEAR(got[i].width, c.segments[i].width, 1e-6);
        }
    }
}

TEST_F(HomeRulesText, Summary)
{
    EXPECT_EQ(HomeRules::summary(false, 12, 4000), QStringLiteral("Getting to know your files"));
    EXPECT_EQ(HomeRules::summary(true, 1, 2000), QStringLiteral("1 file · 2 KB across your computer"));
    EXPECT_EQ(HomeRules::summary(true, 0, 0), QStringLiteral("0 files · Zero KB across your computer"));
    EXPECT_EQ(HomeRules::summary(true, 48'210, 212'400'000'000),
              QStringLiteral("48,210 files · 212.4 GB across your computer"));
}

TEST_F(HomeRulesText, ShelfCaption)
{
    EXPECT_EQ(HomeRules::shelfCaption(0, 0), QStringLiteral("Empty"));
    EXPECT_EQ(HomeRules::shelfCaption(1'204, 3'100'000'000), QStringLiteral("1,204 · 3.1 GB"));
    EXPECT_EQ(HomeRules::shelfCaption(3, 0), QStringLiteral("3")); // three apps not yet sized
}

TEST(HomeRules, CleanupTilesLargestFirstSkippingEmptyCards)
{
    const QList<CleanupCard> cards = {
        {CleanupKind::duplicates, {}},
        {CleanupKind::downloads, {sized("/d/a", 10), sized("/d/b", 20)}},
        {CleanupKind::installers, {sized("/d/c", 30)}}, // ties with downloads, comes after it
        {CleanupKind::screenshots, {sized("/d/d", 5)}},
        {CleanupKind::videos, {sized("/d/e", 900)}},
        {CleanupKind::apps, {}},
    };
    auto kinds = [](const QList<CleanupCard> &tiles) {
        QList<CleanupKind> out;
        for (const CleanupCard &card : tiles)
            out.append(card.kind);
        return out;
    };
    EXPECT_EQ(kinds(HomeRules::cleanupTiles(cards, 3)),
              (QList<CleanupKind>{CleanupKind::videos, CleanupKind::downloads, CleanupKind::installers}));
    EXPECT_EQ(kinds(HomeRules::cleanupTiles(cards, 2)),
              (QList<CleanupKind>{CleanupKind::videos, CleanupKind::downloads}));
    EXPECT_EQ(kinds(HomeRules::cleanupTiles(cards, 9)).size(), 4);
    EXPECT_TRUE(HomeRules::cleanupTiles({{CleanupKind::duplicates, {}}, {CleanupKind::apps, {}}}, 3).isEmpty());
}
