#include "model/fmt.h"

#include <QLocale>

#include <gtest/gtest.h>

class FmtTest : public ::testing::Test
{
protected:
    void SetUp() override { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }
};

TEST_F(FmtTest, Sizes)
{
    const struct
    {
        qint64 bytes;
        const char *text;
    } cases[] = {
        {0, "Zero KB"},         {-5, "Zero KB"},      {1, "1 byte"},        {999, "999 bytes"},
        {1000, "1 KB"},         {12'345, "12 KB"},    {999'499, "999 KB"},  {1'000'000, "1 MB"},
        {3'240'000, "3.2 MB"},  {1'250'000'000, "1.25 GB"}, {2'000'000'000'000, "2 TB"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(Fmt::size(c.bytes), QString::fromUtf8(c.text)) << c.bytes;
}

TEST_F(FmtTest, HomeAbbreviationIsAPlainPrefixTest)
{
    const QString home = "/Users/ana";
    EXPECT_EQ(Fmt::path("/Users/ana/Documents", home), "~/Documents");
    EXPECT_EQ(Fmt::path("/Users/ana", home), "~");
    EXPECT_EQ(Fmt::path("/Users/anabel/x", home), "~bel/x");
    EXPECT_EQ(Fmt::path("/Applications", home), "/Applications");
}

TEST_F(FmtTest, RelativeDates)
{
    const Millis now = 1'736'935'200'000; // 2025-01-15T10:00:00Z
    EXPECT_EQ(Fmt::relative(now - 2 * 86'400'000, now), "2 days ago");
    EXPECT_EQ(Fmt::relative(now + 3 * 3'600'000, now), "in 3 hours");
    EXPECT_EQ(Fmt::relative(now - 60'000, now), "1 minute ago");
    EXPECT_EQ(Fmt::relative(now - 400LL * 86'400'000, now), "1 year ago");
}

TEST_F(FmtTest, IsoDatesInUtcWithMilliseconds)
{
    EXPECT_EQ(Fmt::iso(1'736'935'200'123), "2025-01-15T10:00:00.123Z");
    EXPECT_EQ(Fmt::iso(kDistantPast), "0001-01-01T00:00:00.000Z");
}

TEST_F(FmtTest, ShortDatesAreTheLocalDayWithTheLocalesMonthName)
{
    // Midday in UTC is the same day in every time zone within eleven hours.
    EXPECT_EQ(Fmt::shortDate(1'736'942'400'000), "Jan 15, 2025");
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(Fmt::shortDate(1'736'942'400'000), "Jan. 15, 2025");
}
