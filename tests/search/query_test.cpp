#include "search/query.h"
#include "search/queryparser.h"

#include "searchtesting.h"

#include <gtest/gtest.h>

using namespace SearchTesting;

namespace {

QStringList ids(const QList<Chip> &chips)
{
    QStringList out;
    for (const Chip &c : chips)
        out << c.id;
    return out;
}

TEST(QueryChips, ADefaultQueryHasNoChipsAndDropChangesNothing)
{
    Query q;
    EXPECT_TRUE(q.chips().isEmpty());
    q.drop({"kind", "date", "size", "source", "device", "text:x", "nonsense"});
    EXPECT_EQ(q, Query{});
}

TEST(QueryChips, EveryFilterInTheFixedOrder)
{
    const Query q{.exts = {"pdf"},
                  .kindLabel = "PDFs",
                  .from = 0,
                  .dateLabel = "Last week",
                  .minSize = 5,
                  .sizeLabel = "Over 5 bytes",
                  .source = "Gmail",
                  .device = "gopro",
                  .terms = {"tax return", "invoice"}};
    const QList<Chip> expected = {
        {"kind", "PDFs", "square.stack"},
        {"date", "Last week", "calendar"},
        {"size", "Over 5 bytes", "scalemass"},
        {"source", "From Gmail", "arrow.down.circle"},
        {"device", "Taken with Gopro", "camera"},
        {"text:tax return", QString::fromUtf8("“tax return”"), "text.magnifyingglass"},
        {"text:invoice", QString::fromUtf8("“invoice”"), "text.magnifyingglass"},
    };
    EXPECT_EQ(q.chips(), expected);
}

TEST(QueryChips, OrderIsTheTablesNotTheTexts)
{
    const Query q = QueryParser::parse(QStringLiteral("screenshots from my iphone last week"), {}, now(), mondays());
    EXPECT_EQ(ids(q.chips()), (QStringList{"kind", "date", "device"}));
}

TEST(QueryChips, DeviceNames)
{
    const struct
    {
        const char *device;
        const char *name;
    } cases[] = {{"iphone", "iPhone"}, {"ipad", "iPad"},   {"phone", "a phone"}, {"camera", "a camera"},
                 {"drone", "a drone"}, {"gopro", "Gopro"}, {"oneplus", "Oneplus"}, {"fujifilm", "Fujifilm"},
                 {"canon", "Canon"}};
    for (const auto &c : cases) {
        const Query q{.device = QString::fromLatin1(c.device)};
        ASSERT_EQ(q.chips().size(), 1);
        EXPECT_EQ(q.chips().first().label, QStringLiteral("Taken with ") + QString::fromLatin1(c.name));
    }
}

TEST(QueryChips, ChipsAreEqualOnlyWhenEveryFieldIs)
{
    const Chip a{"kind", "PDFs", "square.stack"};
    EXPECT_EQ(a, (Chip{"kind", "PDFs", "square.stack"}));
    EXPECT_EQ(qHash(a), qHash(Chip{"kind", "PDFs", "square.stack"}));
    EXPECT_NE(a, (Chip{"kind", "Zips", "square.stack"}));
    EXPECT_NE(a, (Chip{"kind", "PDFs", "calendar"}));
}

TEST(QueryDrop, RemovesExactlyTheFiltersAsked)
{
    const Query full{.kinds = {Kind::image},
                     .exts = {"pdf"},
                     .screenshots = true,
                     .kindLabel = "Images + PDFs + Screenshots",
                     .from = 1,
                     .to = 2,
                     .dateLabel = "d",
                     .minSize = 3,
                     .maxSize = 4,
                     .sizeLabel = "s",
                     .source = "Gmail",
                     .device = "iphone",
                     .terms = {"invoice", "march report", "invoice2"}};
    Query q = full;
    q.drop({"kind"});
    EXPECT_TRUE(q.kinds.empty());
    EXPECT_TRUE(q.exts.empty());
    EXPECT_FALSE(q.screenshots);
    EXPECT_FALSE(q.kindLabel);
    EXPECT_EQ(q.dateLabel, "d");

    q = full;
    q.drop({"date", "size", "source", "device"});
    Query expected = full;
    expected.from.reset();
    expected.to.reset();
    expected.dateLabel.reset();
    expected.minSize.reset();
    expected.maxSize.reset();
    expected.sizeLabel.reset();
    expected.source.reset();
    expected.device.reset();
    EXPECT_EQ(q, expected);

    q = full;
    q.drop({"text:invoice", "text:nothing"});
    EXPECT_EQ(q.terms, (QStringList{"march report", "invoice2"}));
}

// --- Matching ------------------------------------------------------------

FileItem record(const char *path, qint64 size = 10, Millis modified = 0, Millis added = 0,
                std::optional<QString> source = std::nullopt, bool screenshot = false)
{
    FileItem::Fields f;
    f.path = path;
    const QString name = QString::fromUtf8(path).section(u'/', -1);
    f.ext = lowerExtension(name);
    f.kind = Kinds::of(f.ext);
    f.size = size;
    f.modified = modified;
    f.created = modified;
    f.added = added;
    f.source = source;
    f.isScreenshot = screenshot;
    return FileItem(f);
}

struct MatchCase
{
    const char *what;
    Query query;
    FileItem item;
    bool matches;
};

TEST(QueryMatches, Boundaries)
{
    const Millis day = 86'400'000;
    const Millis t = at(2025, 1, 10);
    const MatchCase cases[] = {
        {"date equal to from passes", {.from = t}, record("/a.txt", 1, t, 0), true},
        {"a moment before from fails", {.from = t}, record("/a.txt", 1, t - 1, 0), false},
        {"date equal to to fails", {.to = t}, record("/a.txt", 1, t, 0), false},
        {"a moment before to passes", {.to = t}, record("/a.txt", 1, t - 1, 0), true},
        {"added recently passes though modified long ago",
         {.from = t},
         record("/a.txt", 1, t - 365 * day, t + day),
         true},
        {"the later of the two dates decides the upper bound too",
         {.to = t},
         record("/a.txt", 1, t - 365 * day, t + day),
         false},
        {"size equal to minSize passes", {.minSize = 100}, record("/a.txt", 100), true},
        {"size below minSize fails", {.minSize = 100}, record("/a.txt", 99), false},
        {"size equal to maxSize passes", {.maxSize = 100}, record("/a.txt", 100), true},
        {"size above maxSize fails", {.maxSize = 100}, record("/a.txt", 101), false},
        {"source filter excludes files without a source", {.source = "Gmail"}, record("/a.txt"), false},
        {"source compared exactly", {.source = "gmail"}, record("/a.txt", 1, 0, 0, "Gmail"), false},
        {"source equal", {.source = "Gmail"}, record("/a.txt", 1, 0, 0, "Gmail"), true},
        {"kind by kind", {.kinds = {Kind::image}}, record("/a.png"), true},
        {"kind by extension", {.kinds = {Kind::image}, .exts = {"pdf"}}, record("/a.pdf"), true},
        {"kind by screenshot", {.exts = {"pdf"}, .screenshots = true}, record("/s.png", 1, 0, 0, {}, true), true},
        {"kind filter rejects the rest", {.kinds = {Kind::image}, .exts = {"pdf"}}, record("/a.txt"), false},
        {"diacritics and case ignored in names", {.terms = {"résumé"}}, record("/x/resume.pdf"), true},
        {"and the other way round", {.terms = {"resume"}}, record("/x/Résumé.pdf"), true},
        {"decomposed accents fold alike", {.terms = {"re\u0301sume\u0301"}}, record("/x/RÉSUMÉ.PDF"), true},
        {"every term must be found", {.terms = {"tax", "return"}}, record("/x/tax-2024.pdf"), false},
        {"the name is the last component only", {.terms = {"x"}}, record("/x/a.pdf"), false},
    };
    for (const MatchCase &c : cases)
        EXPECT_EQ(c.query.matches(c.item, {}, {}, true), c.matches) << c.what;
}

TEST(QueryMatches, TermsAreFoundInRecognisedTextAndSubjects)
{
    const FileItem photo = record("/p/IMG_0001.jpg");
    const OcrTexts ocr{{"/p/IMG_0001.jpg", QStringLiteral("Total due: 40 € — Façade repairs")}};
    const SubjectLabels subjects{{"/p/IMG_0001.jpg", {"cat", "sofa", "buses"}}};
    const struct
    {
        const char *term;
        bool found;
    } cases[] = {
        {"facade", true},  // recognised text, accents ignored
        {"TOTAL", true},   // recognised text, case ignored
        {"cats", true},    // stem of a label
        {"sofas", true},
        {"bus", true},     // plain containment in "buses"
        {"busses", false}, // stem "busse" is in no label
        {"dogs", false},
    };
    for (const auto &c : cases) {
        const Query q{.terms = {QString::fromUtf8(c.term)}};
        EXPECT_EQ(q.matches(photo, ocr, subjects, true), c.found) << c.term;
    }
    // Short terms are not stemmed: "cas" must be contained as it is.
    const SubjectLabels vases{{"/p/IMG_0001.jpg", {"ca"}}};
    EXPECT_FALSE((Query{.terms = {"cas"}}).matches(photo, {}, vases, true));
}

TEST(QueryMatches, TermsAreSkippedWhenAsked)
{
    const Query q{.exts = {"pdf"}, .kindLabel = "PDFs", .terms = {"nowhere"}};
    EXPECT_FALSE(q.matches(record("/a.pdf"), {}, {}, true));
    EXPECT_TRUE(q.matches(record("/a.pdf"), {}, {}, false));
    EXPECT_FALSE(q.matches(record("/a.txt"), {}, {}, false));
}

TEST(QueryMatches, FilterKeepsOrder)
{
    const QList<FileItem> items = {record("/b.pdf"), record("/a.txt"), record("/c.pdf")};
    const QList<FileItem> found = Query{.exts = {"pdf"}}.filter(items, {}, {});
    ASSERT_EQ(found.size(), 2);
    EXPECT_EQ(found.at(0).path(), "/b.pdf");
    EXPECT_EQ(found.at(1).path(), "/c.pdf");
    EXPECT_EQ(Query{}.filter(items, {}, {}), items);
}

} // namespace
