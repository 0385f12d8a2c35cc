#include "search/queryparser.h"
#include "search/quotedphrases.h"

#include "searchtesting.h"

#include <QLocale>

#include <gtest/gtest.h>

using namespace SearchTesting;

namespace {

struct ParseCase
{
    const char *text;
    QStringList sources;
    Query expected;
};

void PrintTo(const ParseCase &c, std::ostream *os)
{
    *os << c.text;
}

class ParserTable : public ::testing::TestWithParam<ParseCase>
{
protected:
    void SetUp() override { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }
};

TEST_P(ParserTable, ReadsTheWholeQuery)
{
    const ParseCase &c = GetParam();
    EXPECT_EQ(QueryParser::parse(QString::fromUtf8(c.text), c.sources, now(), mondays()), c.expected);
}

// The worked examples (now: Wednesday 15 January 2025 10:00, weeks start on Monday).
INSTANTIATE_TEST_SUITE_P(
    WorkedExamples, ParserTable,
    ::testing::Values(
        ParseCase{"pdfs from last week",
                  {},
                  {.exts = {"pdf"},
                   .kindLabel = "PDFs",
                   .from = at(2025, 1, 6),
                   .to = at(2025, 1, 13),
                   .dateLabel = "Last week"}},
        ParseCase{"images over 5 mb",
                  {},
                  {.kinds = {Kind::image}, .kindLabel = "Images", .minSize = 5'000'000, .sizeLabel = "Over 5 MB"}},
        ParseCase{"screenshots with invoice",
                  {},
                  {.screenshots = true, .kindLabel = "Screenshots", .terms = {"invoice"}}},
        ParseCase{"videos or photos older than a couple of months",
                  {},
                  {.kinds = {Kind::image, Kind::video},
                   .kindLabel = "Videos + Images",
                   .to = at(2024, 11, 15, 10),
                   .dateLabel = "Older than 2 months"}},
        ParseCase{"files over two gigs", {}, {.minSize = 2'000'000'000, .sizeLabel = "Over 2 GB"}},
        ParseCase{"big zip from last year",
                  {},
                  {.exts = {"zip"},
                   .kindLabel = "Zips",
                   .from = at(2024, 1, 1),
                   .to = at(2025, 1, 1),
                   .dateLabel = "Last year",
                   .minSize = 100'000'000,
                   .sizeLabel = "Over 100 MB"}},
        ParseCase{"photos taken with my iphone in 2024",
                  {},
                  {.kinds = {Kind::image},
                   .kindLabel = "Images",
                   .from = at(2024, 1, 1),
                   .to = at(2025, 1, 1),
                   .dateLabel = "2024",
                   .device = "iphone"}},
        ParseCase{"report before june 2023",
                  {},
                  {.to = at(2023, 6, 1), .dateLabel = "Before June 2023", .terms = {"report"}}},
        ParseCase{"songs from 2 weeks back",
                  {},
                  {.kinds = {Kind::music},
                   .kindLabel = "Music",
                   .from = at(2025, 1, 1, 10),
                   .dateLabel = "Last 2 weeks"}},
        ParseCase{"“tax return” via team chat since march",
                  {"Team Chat"},
                  {.from = at(2024, 3, 1),
                   .dateLabel = "Since March",
                   .source = "Team Chat",
                   .terms = {"tax return", "chat"}}}));

INSTANTIATE_TEST_SUITE_P(
    Edges, ParserTable,
    ::testing::Values(
        ParseCase{"", {}, {}}, ParseCase{" \t \n ", {}, {}},
        ParseCase{"pdf\tinvoice", {}, {.exts = {"pdf"}, .kindLabel = "PDFs", .terms = {"invoice"}}},
        // Only the first date phrase counts; the second is left as a word.
        ParseCase{"today or yesterday", {}, {.from = at(2025, 1, 15), .dateLabel = "Today", .terms = {"yesterday"}}},
        ParseCase{"recent downloads",
                  {},
                  {.from = at(2025, 1, 8, 10), .dateLabel = "Last 7 days", .terms = {"downloads"}}},
        // "may" is the month; May lies after January, so it is last year's.
        ParseCase{"may", {}, {.from = at(2024, 5, 1), .to = at(2024, 6, 1), .dateLabel = "May"}},
        ParseCase{"january", {}, {.from = at(2025, 1, 1), .to = at(2025, 2, 1), .dateLabel = "January"}},
        ParseCase{"dec", {}, {.from = at(2024, 12, 1), .to = at(2025, 1, 1), .dateLabel = "December"}},
        ParseCase{"after march 2024", {}, {.from = at(2024, 4, 1), .dateLabel = "After March 2024"}},
        ParseCase{"until 2024", {}, {.to = at(2024, 1, 1), .dateLabel = "Before 2024"}},
        ParseCase{"over 100", {}, {.terms = {"100"}}},
        ParseCase{"over 0 kb", {}, {.minSize = 0, .sizeLabel = "Over Zero KB"}},
        ParseCase{"over 1 mb under 10 mb",
                  {},
                  {.minSize = 1'000'000, .maxSize = 10'000'000, .sizeLabel = "Over 1 MB, under 10 MB"}},
        ParseCase{"smaller than 2.5gb", {}, {.maxSize = 2'500'000'000, .sizeLabel = "Under 2.5 GB"}},
        // Read as decimal, not through a binary fraction that lands a byte short.
        ParseCase{"at least 4.1 mb", {}, {.minSize = 4'100'000, .sizeLabel = "Over 4.1 MB"}},
        ParseCase{"huge videos",
                  {},
                  {.kinds = {Kind::video}, .kindLabel = "Videos", .minSize = 100'000'000, .sizeLabel = "Over 100 MB"}},
        // A count that does not fit 64 bits sets no size at all, and the phrase is used up.
        ParseCase{"over 99999999999999999999 gb", {}, {}},
        ParseCase{"under 9223372036854775807 kb", {}, {}},
        ParseCase{"from nowhere", {}, {.terms = {"nowhere"}}},
        ParseCase{"from gmail", {"Gmail"}, {.source = "Gmail"}},
        ParseCase{"via my docs.google", {"Docs.Google.com"}, {.source = "Docs.Google.com"}},
        // Fewer than three letters match a whole piece of a name only; "via" is not a stop word.
        ParseCase{"via ai", {"OpenAI"}, {.terms = {"via", "ai"}}},
        ParseCase{"via ai", {"Open AI"}, {.source = "Open AI"}},
        ParseCase{"from canv", {"Gmail", "Canva"}, {.source = "Canva"}},
        ParseCase{"\"march report\" from \"march report\"", {}, {.terms = {"march report"}}},
        ParseCase{"invoice \"invoice\" invoice", {}, {.terms = {"invoice"}}},
        ParseCase{"john's invoice", {}, {.terms = {"john", "invoice"}}},
        // A bare "'s" leaves nothing to search for.
        ParseCase{"'s", {}, {}},
        ParseCase{"(pdf).", {}, {.exts = {"pdf"}, .kindLabel = "PDFs"}},
        ParseCase{"pdf, docx; png", {}, {.exts = {"docx", "pdf", "png"}, .kindLabel = "PDFs + DOCXs + PNGs"}},
        ParseCase{"jpegs", {}, {.exts = {"jpeg", "jpg"}, .kindLabel = "JPEGs"}},
        ParseCase{"pics and apps", {}, {.kinds = {Kind::image, Kind::app}, .kindLabel = "Images + Apps"}},
        ParseCase{"glass", {}, {.terms = {"glass"}}},
        ParseCase{"installers", {}, {.exts = {"dmg", "pkg"}, .kindLabel = "Installers"}},
        ParseCase{"last week", {}, {.from = at(2025, 1, 6), .to = at(2025, 1, 13), .dateLabel = "Last week"}},
        ParseCase{"since last week", {}, {.from = at(2025, 1, 6), .dateLabel = "Since last week"}},
        ParseCase{"in the last week", {}, {.from = at(2025, 1, 8, 10), .dateLabel = "Last 1 week"}},
        ParseCase{"this week", {}, {.from = at(2025, 1, 13), .dateLabel = "This week"}},
        ParseCase{"last month", {}, {.from = at(2024, 12, 1), .to = at(2025, 1, 1), .dateLabel = "Last month"}},
        ParseCase{"last 3 days", {}, {.from = at(2025, 1, 12, 10), .dateLabel = "Last 3 days"}},
        ParseCase{"day before yesterday", {}, {.from = at(2025, 1, 13, 10), .dateLabel = "Last 2 days"}},
        ParseCase{"past fortnight", {}, {.from = at(2025, 1, 1, 10), .dateLabel = "Last 2 weeks"}},
        ParseCase{"older than 1 year", {}, {.to = at(2024, 1, 15, 10), .dateLabel = "Older than 1 year"}},
        ParseCase{"more than 3 days old", {}, {.to = at(2025, 1, 12, 10), .dateLabel = "Older than 3 days"}},
        // A count too long for 64 bits counts as one.
        ParseCase{"older than 99999999999999999999 years",
                  {},
                  {.to = at(2024, 1, 15, 10), .dateLabel = "Older than 1 year"}},
        // Four months back from January lands in last year's autumn, over the clock change.
        ParseCase{"last 4 months", {}, {.from = at(2024, 9, 15, 10), .dateLabel = "Last 4 months"}},
        ParseCase{"screenshots from my iphone last week",
                  {},
                  {.screenshots = true,
                   .kindLabel = "Screenshots",
                   .from = at(2025, 1, 6),
                   .to = at(2025, 1, 13),
                   .dateLabel = "Last week",
                   .device = "iphone"}},
        ParseCase{"drone shots taken with a drone", {}, {.device = "drone", .terms = {"drone", "shots"}}},
        // Digits of another script are digits.
        ParseCase{"over ٥ mb", {}, {.minSize = 5'000'000, .sizeLabel = "Over 5 MB"}}));

TEST(ParserCalendar, WeekStartComesFromTheCalendar)
{
    const Query monday = QueryParser::parse(QStringLiteral("last week"), {}, now(), mondays());
    const Query sunday = QueryParser::parse(QStringLiteral("last week"), {}, now(), sundays());
    EXPECT_EQ(monday.from, at(2025, 1, 6));
    EXPECT_EQ(monday.to, at(2025, 1, 13));
    EXPECT_EQ(sunday.from, at(2025, 1, 5));
    EXPECT_EQ(sunday.to, at(2025, 1, 12));
    EXPECT_EQ(QueryParser::parse(QStringLiteral("this week"), {}, now(), sundays()).from, at(2025, 1, 12));
}

TEST(ParserCalendar, DaysStartInTheCalendarsZone)
{
    const Calendar tokyo(QTimeZone("Asia/Tokyo"), Qt::Monday);
    const Query q = QueryParser::parse(QStringLiteral("today"), {}, now(), tokyo);
    // 10:00 in Berlin is 18:00 in Tokyo, whose day began at 16:00 the day before in Berlin.
    EXPECT_EQ(q.from, at(2025, 1, 14, 16));
}

TEST(ParserTables, EveryStopWordIsDroppedAndEveryKindWordRead)
{
    const char *stop = "a an the my of in on from and with file files that are is i me all show find for to "
                       "named called by or than containing contains saying says since ago within during "
                       "before after until around got sent made saved downloaded took about thing things "
                       "stuff clicked added over under it this these those was were some any please where "
                       "what which can you get need want have";
    const QStringList words = QString::fromLatin1(stop).split(u' ');
    EXPECT_EQ(words.size(), 71);
    for (const QString &w : words) {
        const Query q = QueryParser::parse(QStringLiteral("zz ") + w, {}, now(), mondays());
        EXPECT_EQ(q.terms, QStringList{"zz"}) << w.toStdString();
    }
    const struct
    {
        const char *word;
        const char *label;
    } kinds[] = {{"clip", "Videos"},           {"track", "Music"},     {"doc", "Documents"},
                 {"archives", "Archives"},     {"application", "Apps"}, {"sheets", "Spreadsheets"},
                 {"deck", "Presentations"},    {"mp4s", "MP4s"},       {"html", "HTMLs"},
                 {"zip", "Zips"},              {"csv", "CSVs"},        {"pkg", "PKGs"}};
    for (const auto &k : kinds)
        EXPECT_EQ(QueryParser::parse(QString::fromLatin1(k.word), {}, now(), mondays()).kindLabel,
                  QString::fromLatin1(k.label))
            << k.word;
}

} // namespace

TEST(QuotedPhrases, ReadsPhrasesLeftToRight)
{
    struct Case
    {
        const char *text;
        QStringList phrases;
        const char *rest;
    };
    const Case cases[] = {
        {R"(a "tax return" b)", {"tax return"}, "a   b"},
        {"“typographic” and \"straight\"", {"typographic", "straight"}, "  and  "},
        {R"("x" "x" " x ")", {"x"}, "     "},
        {R"("" "a")", {}, "\" a\""}, // the second quote opens a blank phrase
        {R"("a"")", {"a"}, " \""},
        {R"(“nested “inner” tail")", {"nested “inner"}, "  tail\""},
        {R"("unterminated quote)", {}, "\"unterminated quote"},
        {R"("   " word)", {}, "  word"},
        {"", {}, ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text);
        const QuotedPhrases::Result r = QuotedPhrases::take(QString::fromUtf8(c.text));
        EXPECT_EQ(r.phrases, c.phrases);
        EXPECT_EQ(r.rest, QString::fromUtf8(c.rest));
    }
}

// Pasted text with thousands of quotes once took time growing with the square
// of its length; the work stays within twice the length whatever its shape.
TEST(QuotedPhrases, WorkGrowsWithTheLengthOnly)
{
    const QList<QString> shapes = {
        QStringLiteral("\"a\" ").repeated(30'000),
        QString(120'000, u'\u201C'),
        QString(120'000, u'"'),
        QStringLiteral("\u201C\"\u201D x ").repeated(24'000),
        QStringLiteral("\u201C").repeated(60'000) + QStringLiteral("x\""),
    };
    for (const QString &text : shapes) {
        SCOPED_TRACE(text.left(12).toStdString());
        EXPECT_LE(QuotedPhrases::take(text).steps, 2 * text.size());
    }
}

TEST(ParserLongPaste, EveryPhraseAndWordIsKeptOnceInOrder)
{
    QString text;
    QStringList expected;
    for (int i = 0; i < 15'000; ++i) {
        text += QStringLiteral("\"p%1\" w%1 \"p%1\" ").arg(i);
        expected << QStringLiteral("p%1").arg(i);
    }
    for (int i = 0; i < 15'000; ++i)
        expected << QStringLiteral("w%1").arg(i);
    const Query q = QueryParser::parse(text, {}, now(), mondays());
    EXPECT_EQ(q.terms, expected);
}
