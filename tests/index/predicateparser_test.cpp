#include "predicateparser.h"
#include "search/spotlight.h"

#include <QDateTime>
#include <QTimeZone>

#include <gtest/gtest.h>

namespace {

using A = Predicate::Attribute;
using Node = Predicate::Node;
using Op = Predicate::Op;
using Pattern = Predicate::Pattern;

Pattern text(std::vector<QString> segments, const char *modifiers = "")
{
    const std::string m(modifiers);
    return Pattern{.segments = std::move(segments),
                   .caseless = m.find('c') != std::string::npos,
                   .diacriticless = m.find('d') != std::string::npos,
                   .wordBased = m.find('w') != std::string::npos};
}

Node leaf(A attribute, Op op, Predicate::Value value)
{
    return Node{.kind = Node::Kind::comparison,
                .comparison = {.attribute = attribute, .op = op, .value = std::move(value)},
                .children = {}};
}

Node all(std::vector<Node> children)
{
    return Node{.kind = Node::Kind::all, .comparison = {}, .children = std::move(children)};
}

Node any(std::vector<Node> children)
{
    return Node{.kind = Node::Kind::any, .comparison = {}, .children = std::move(children)};
}

qint64 utc(int y, int mo, int d, int h = 0)
{
    return QDateTime(QDate(y, mo, d), QTime(h, 0), QTimeZone::utc()).toMSecsSinceEpoch();
}

const Node kNotFolder = leaf(A::contentTypeTree, Op::notEqual, text({"public.folder"}));

TEST(PredicateParser, ReadsEveryClauseTheSearchWrites)
{
    const struct
    {
        const char *predicate;
        Node expected;
    } cases[] = {
        {R"(kMDItemContentTypeTree != "public.folder" && (kMDItemFSName == "*.pdf"c) && kMDItemFSSize >= 1000000 && (kMDItemFSName == "*invoice*"cd || kMDItemTextContent == "invoice*"cdw))",
         all({kNotFolder, leaf(A::fsName, Op::equal, text({"", ".pdf"}, "c")),
              leaf(A::fsSize, Op::greaterOrEqual, qint64(1'000'000)),
              any({leaf(A::fsName, Op::equal, text({"", "invoice", ""}, "cd")),
                   leaf(A::textContent, Op::equal, text({"invoice", ""}, "cdw"))})})},
        {R"((kMDItemFSContentChangeDate >= $time.iso(2024-12-31T23:00:00Z) || kMDItemDateAdded >= $time.iso(2024-12-31T23:00:00Z)) && kMDItemFSContentChangeDate < $time.iso(2025-01-13T00:00:00Z))",
         all({any({leaf(A::contentChangeDate, Op::greaterOrEqual, Predicate::Instant{utc(2024, 12, 31, 23)}),
                   leaf(A::dateAdded, Op::greaterOrEqual, Predicate::Instant{utc(2024, 12, 31, 23)})}),
              leaf(A::contentChangeDate, Op::less, Predicate::Instant{utc(2025, 1, 13)})})},
        {R"((kMDItemContentTypeTree == "public.image" || kMDItemFSName == "*.7z"c || kMDItemIsScreenCapture == 1))",
         any({leaf(A::contentTypeTree, Op::equal, text({"public.image"})),
              leaf(A::fsName, Op::equal, text({"", ".7z"}, "c")), leaf(A::isScreenCapture, Op::equal, qint64(1))})},
        {R"(kMDItemFSSize <= 2 && kMDItemWhereFroms == "*" && kMDItemAcquisitionMake == "*")",
         all({leaf(A::fsSize, Op::lessOrEqual, qint64(2)), leaf(A::whereFroms, Op::equal, text({"", ""})),
              leaf(A::acquisitionMake, Op::equal, text({"", ""}))})},
        {R"((kMDItemAcquisitionModel == "*dji*"cd || kMDItemAcquisitionMake == "*dji*"cd))",
         any({leaf(A::acquisitionModel, Op::equal, text({"", "dji", ""}, "cd")),
              leaf(A::acquisitionMake, Op::equal, text({"", "dji", ""}, "cd"))})},
        {R"(kMDItemTextContent == "tax return"cd)", leaf(A::textContent, Op::equal, text({"tax return"}, "cd"))},
        // Escapes: \" is a quote, \\ a backslash, \* a star that is no wildcard.
        {R"(kMDItemFSName == "*a\"b\\c\*d*"cd)", leaf(A::fsName, Op::equal, text({"", "a\"b\\c*d", ""}, "cd"))},
        {R"(kMDItemFSName == "*\\\"*"cd)", leaf(A::fsName, Op::equal, text({"", "\\\"", ""}, "cd"))},
        {R"(kMDItemFSName == "*'; DROP TABLE files; --%_*"cd)",
         leaf(A::fsName, Op::equal, text({"", "'; DROP TABLE files; --%_", ""}, "cd"))},
        {R"(kMDItemLastUsedDate < $time.iso(2024-06-01T12:00:00.250+02:00))",
         leaf(A::lastUsedDate, Op::less, Predicate::Instant{utc(2024, 6, 1, 10) + 250})},
        {R"(kMDItemFSSize > -1.5)", leaf(A::fsSize, Op::greater, -1.5)},
        {"  kMDItemFSName==\"\"  ", leaf(A::fsName, Op::equal, text({""}))},
        // && binds tighter than ||.
        {R"(kMDItemFSSize == 1 || kMDItemFSSize == 2 && kMDItemFSSize == 3)",
         any({leaf(A::fsSize, Op::equal, qint64(1)),
              all({leaf(A::fsSize, Op::equal, qint64(2)), leaf(A::fsSize, Op::equal, qint64(3))})})},
    };
    for (const auto &c : cases) {
        QString error;
        const auto parsed = PredicateParser::parse(QString::fromUtf8(c.predicate), &error);
        ASSERT_TRUE(parsed) << c.predicate << ": " << error.toStdString();
        EXPECT_EQ(*parsed, c.expected) << c.predicate;
    }
}

TEST(PredicateParser, RefusesWhatItCannotRead)
{
    const struct
    {
        QString predicate;
        const char *where; // the error names this place or reason
    } cases[] = {
        {"", "character 1"},
        {"kMDItemPath == \"/x\"", "unknown attribute kMDItemPath"},
        {"kMDItemFSName == \"abc", "closing quote"},
        {"kMDItemFSName == \"abc\\", "closing quote"},
        {"kMDItemFSName == \"abc\"x", "modifier x"},
        {"kMDItemFSName = \"abc\"", "operator"},
        {"kMDItemFSName == 3", "quoted string"},
        {"kMDItemFSName < \"abc\"", "only with == and !="},
        {"kMDItemFSSize >= \"3\"", "takes a number"},
        {"kMDItemFSSize >= 12kb", "not a number"},
        {"kMDItemDateAdded >= 5", "$time.iso"},
        {"kMDItemDateAdded >= $time.iso(yesterday)", "not an ISO 8601 date"},
        {"kMDItemDateAdded >= $time.iso(2024-01-01", "closing parenthesis"},
        {"kMDItemDateAdded >= $time.now", "$time.iso"},
        {"(kMDItemFSSize == 1", "expected )"},
        {"kMDItemFSSize == 1)", "the end"},
        {"kMDItemFSSize == 1 &&", "attribute name"},
        {"kMDItemFSSize == 1 & kMDItemFSSize == 2", "the end"},
        {QString(200, u'(') + "kMDItemFSSize == 1" + QString(200, u')'), "nested too deeply"},
        {QString::fromUtf8("kMDItemFSName == \"caf\xc3\xa9\" \xe2\x80\xa6"), "the end"},
    };
    for (const auto &c : cases) {
        QString error;
        EXPECT_FALSE(PredicateParser::parse(c.predicate, &error)) << c.predicate.toStdString();
        EXPECT_TRUE(error.contains(QString::fromUtf8(c.where))) << c.predicate.toStdString() << " gave: "
                                                                   << error.toStdString();
    }
}

// The parser is the other half of the search's predicate writer: whatever a
// query asks for has to come back as the same comparisons.
TEST(PredicateParser, ReadsWhatTheSearchWritesForEveryKindOfQuery)
{
    const Millis from = QDateTime(QDate(2025, 1, 1), QTime(0, 0), QTimeZone(3600)).toMSecsSinceEpoch();
    const Query queries[] = {
        {.kinds = {Kind::image, Kind::video, Kind::music, Kind::app, Kind::archive, Kind::document},
         .exts = {"pdf"},
         .screenshots = true},
        {.from = from, .to = from + 86'400'000, .minSize = 1, .maxSize = 1'000'000'000'000, .source = "Gmail"},
        {.device = "drone"},
        {.device = "phone"},
        {.terms = {"tax return", R"(a"b\c*d)", R"(\")", "%_';", "Ölfeld", "日本語"}},
    };
    for (const Query &q : queries) {
        const std::optional<QString> predicate = Spotlight::queryString(q);
        ASSERT_TRUE(predicate);
        QString error;
        const auto parsed = PredicateParser::parse(*predicate, &error);
        ASSERT_TRUE(parsed) << predicate->toStdString() << ": " << error.toStdString();
        ASSERT_EQ(parsed->kind, Node::Kind::all);
        EXPECT_EQ(parsed->children.front(), kNotFolder);
    }
    const auto terms = PredicateParser::parse(*Spotlight::queryString(Query{.terms = {R"(a"b\c*d)", "x y"}}));
    ASSERT_TRUE(terms);
    ASSERT_EQ(terms->children.size(), 3u);
    EXPECT_EQ(terms->children[1], any({leaf(A::fsName, Op::equal, text({"", R"(a"b\c*d)", ""}, "cd")),
                                       leaf(A::textContent, Op::equal, text({R"(a"b\c*d)", ""}, "cdw"))}));
    EXPECT_EQ(terms->children[2], any({leaf(A::fsName, Op::equal, text({"", "x y", ""}, "cd")),
                                       leaf(A::textContent, Op::equal, text({"x y"}, "cd"))}));
}

} // namespace
