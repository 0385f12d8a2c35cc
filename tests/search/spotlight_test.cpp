#include "search/spotlight.h"

#include "metadataindex.h"
#include "searchtesting.h"

#include <QDateTime>
#include <QTimeZone>

#include <gtest/gtest.h>

namespace {

TEST(SpotlightPredicate, WorkedExample)
{
    const Query q{.exts = {"pdf"}, .minSize = 1'000'000, .terms = {"invoice"}};
    EXPECT_EQ(Spotlight::queryString(q),
              QStringLiteral(R"(kMDItemContentTypeTree != "public.folder" && (kMDItemFSName == "*.pdf"c) && )"
                             R"(kMDItemFSSize >= 1000000 && (kMDItemFSName == "*invoice*"cd || )"
                             R"(kMDItemTextContent == "invoice*"cdw))"));
    const Millis newYear = QDateTime(QDate(2025, 1, 1), QTime(0, 0), QTimeZone(3600)).toMSecsSinceEpoch();
    const Query dated{.from = newYear};
    EXPECT_EQ(Spotlight::queryString(dated),
              QStringLiteral(R"(kMDItemContentTypeTree != "public.folder" && )"
                             R"((kMDItemFSContentChangeDate >= $time.iso(2024-12-31T23:00:00Z) || )"
                             R"(kMDItemDateAdded >= $time.iso(2024-12-31T23:00:00Z)))"));
}

TEST(SpotlightPredicate, Clauses)
{
    const Millis t = QDateTime(QDate(2025, 1, 13), QTime(0, 0), QTimeZone::utc()).toMSecsSinceEpoch();
    const struct
    {
        const char *what;
        Query query;
        std::optional<QString> predicate;
    } cases[] = {
        {"nothing asked, nothing searched", {}, std::nullopt},
        {"labels alone ask nothing", {.kindLabel = "x", .dateLabel = "y", .sizeLabel = "z"}, std::nullopt},
        {"only a device still searches",
         {.device = "canon"},
         R"(kMDItemContentTypeTree != "public.folder" && (kMDItemAcquisitionModel == "*canon*"cd || kMDItemAcquisitionMake == "*canon*"cd))"},
        {"a drone is looked for as dji",
         {.device = "drone"},
         R"(kMDItemContentTypeTree != "public.folder" && (kMDItemAcquisitionModel == "*dji*"cd || kMDItemAcquisitionMake == "*dji*"cd))"},
        {"a phone is any camera make",
         {.device = "phone"},
         R"(kMDItemContentTypeTree != "public.folder" && kMDItemAcquisitionMake == "*")"},
        {"kinds by content type, screenshots by marker",
         {.kinds = {Kind::image, Kind::app}, .screenshots = true},
         R"(kMDItemContentTypeTree != "public.folder" && (kMDItemContentTypeTree == "public.image" || kMDItemContentTypeTree == "com.apple.application-bundle" || kMDItemIsScreenCapture == 1))"},
        {"a kind without a content type becomes its extensions, merged and sorted",
         {.kinds = {Kind::archive}, .exts = {"zip", "aaa"}},
         R"(kMDItemContentTypeTree != "public.folder" && (kMDItemFSName == "*.7z"c || kMDItemFSName == "*.aaa"c || kMDItemFSName == "*.bz2"c || kMDItemFSName == "*.deb"c || kMDItemFSName == "*.dmg"c || kMDItemFSName == "*.gz"c || kMDItemFSName == "*.iso"c || kMDItemFSName == "*.jar"c || kMDItemFSName == "*.pkg"c || kMDItemFSName == "*.rar"c || kMDItemFSName == "*.rpm"c || kMDItemFSName == "*.tar"c || kMDItemFSName == "*.tgz"c || kMDItemFSName == "*.xz"c || kMDItemFSName == "*.zip"c))"},
        {"clauses in order: to, sizes, source",
         {.to = t, .minSize = 1, .maxSize = 2, .source = "Gmail"},
         R"(kMDItemContentTypeTree != "public.folder" && kMDItemFSContentChangeDate < $time.iso(2025-01-13T00:00:00Z) && kMDItemFSSize >= 1 && kMDItemFSSize <= 2 && kMDItemWhereFroms == "*")"},
        {"a phrase tests the content as a phrase",
         {.terms = {"tax return"}},
         R"(kMDItemContentTypeTree != "public.folder" && (kMDItemFSName == "*tax return*"cd || kMDItemTextContent == "tax return"cd))"},
        {"quotes, backslashes and stars are escaped",
         {.terms = {R"(a"b\c*d)"}},
         R"(kMDItemContentTypeTree != "public.folder" && (kMDItemFSName == "*a\"b\\c\*d*"cd || kMDItemTextContent == "a\"b\\c\*d*"cdw))"},
        {"an escaped backslash before a quote stays two characters",
         {.terms = {R"(\")"}},
         R"(kMDItemContentTypeTree != "public.folder" && (kMDItemFSName == "*\\\"*"cd || kMDItemTextContent == "\\\"*"cdw))"},
        {"a percent sign is text, not a placeholder",
         {.terms = {"%1", "%2"}},
         R"(kMDItemContentTypeTree != "public.folder" && (kMDItemFSName == "*%1*"cd || kMDItemTextContent == "%1*"cdw) && (kMDItemFSName == "*%2*"cd || kMDItemTextContent == "%2*"cdw))"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(Spotlight::queryString(c.query), c.predicate) << c.what;
}

TEST(SpotlightPredicate, DatesDropTheirMilliseconds)
{
    EXPECT_EQ(Spotlight::iso(1'736'935'200'999), "2025-01-15T10:00:00Z");
    EXPECT_EQ(Spotlight::iso(-1), "1969-12-31T23:59:59Z");
}

// Stands in for the index: answers every predicate with fixed paths.
class FixedIndex final : public MetadataIndex
{
public:
    explicit FixedIndex(std::optional<QList<QByteArray>> answer) : m_answer(std::move(answer)) {}
    std::optional<QList<QByteArray>> search(const QString &predicate, const QByteArray &scope, int maxCount) override
    {
        predicates.append(predicate);
        scopes.append(scope);
        lastMax = maxCount;
        return m_answer;
    }
    QStringList predicates;
    QList<QByteArray> scopes;
    int lastMax = 0;

private:
    std::optional<QList<QByteArray>> m_answer;
};

class SpotlightSearch : public ::testing::Test
{
protected:
    void TearDown() override
    {
        MetadataIndex::install(nullptr);
        qunsetenv("TOVALO_DEMO_HOME");
    }
    const Query invoice{.terms = {"invoice"}};
};

TEST_F(SpotlightSearch, KeepsOnlyWhatIsWorthShowing)
{
    const QList<QByteArray> found = {
        "/home/ana/Documents/a.pdf",
        "/home/anabel/b.pdf",                                   // another home that shares the prefix
        "/etc/c.pdf",                                           // outside the scope
        "/home/ana/Library/Caches/d.pdf",                       // the library folder
        "/home/ana/Library/Mobile Documents/com~apple~CloudDocs/e.pdf", // except cloud documents
        "/home/ana/.cache/f.pdf",                               // hidden folder
        "/home/ana/Documents/.g.pdf",                           // hidden file
        "/home/ana/code/node_modules/x/h.pdf",
        "/home/ana/Apps/Tool.app/Contents/i.pdf",
        "/home/ana/Pictures/P.photoslibrary/j.jpg",
        "/home/ana/src/build/k.pdf",
        "/home/ana/Apps/Tool.app",                              // the bundle itself is a file to show
        "",
        "/home/ana/Desktop/l.pdf",
    };
    auto index = std::make_shared<FixedIndex>(found);
    MetadataIndex::install(index);
    const QList<QByteArray> kept = Spotlight::search(invoice, 500, "/home/ana");
    EXPECT_EQ(kept, (QList<QByteArray>{"/home/ana/Documents/a.pdf",
                                       "/home/ana/Library/Mobile Documents/com~apple~CloudDocs/e.pdf",
                                       "/home/ana/Apps/Tool.app", "/home/ana/Desktop/l.pdf"}));
    ASSERT_EQ(index->predicates.size(), 1);
    EXPECT_EQ(index->predicates.first(), Spotlight::queryString(invoice));
    EXPECT_EQ(index->scopes.first(), "/home/ana");
    EXPECT_EQ(index->lastMax, Spotlight::kMaxGathered);

    EXPECT_EQ(Spotlight::search(invoice, 2, "/home/ana"),
              (QList<QByteArray>{"/home/ana/Documents/a.pdf",
                                 "/home/ana/Library/Mobile Documents/com~apple~CloudDocs/e.pdf"}));
}

TEST_F(SpotlightSearch, FindsNothingWithoutAPredicateAnIndexOrOutsideDemonstrations)
{
    EXPECT_TRUE(Spotlight::search(invoice, 500, "/home/ana").isEmpty()); // no index installed

    auto index = std::make_shared<FixedIndex>(QList<QByteArray>{"/home/ana/a.pdf"});
    MetadataIndex::install(index);
    EXPECT_TRUE(Spotlight::search(Query{}, 500, "/home/ana").isEmpty());
    EXPECT_TRUE(index->predicates.isEmpty()) << "an empty query must not reach the index";

    qputenv("TOVALO_DEMO_HOME", "/tmp/demo");
    EXPECT_TRUE(Spotlight::search(invoice, 500, "/home/ana").isEmpty());
    EXPECT_TRUE(index->predicates.isEmpty());
    qunsetenv("TOVALO_DEMO_HOME");

    EXPECT_EQ(Spotlight::search(invoice, 500, "/home/ana").size(), 1);
    MetadataIndex::install(std::make_shared<FixedIndex>(std::nullopt)); // the index failed
    EXPECT_TRUE(Spotlight::search(invoice, 500, "/home/ana").isEmpty());
}

} // namespace
