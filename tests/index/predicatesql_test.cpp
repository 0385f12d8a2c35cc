#include "indexstore.h"
#include "predicateparser.h"
#include "predicatesql.h"
#include "sqlitemetadataindex.h"

#include "tempdir.h"

#include <QDateTime>
#include <QTimeZone>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <thread>

namespace {

qint64 day(int n)
{
    return QDateTime(QDate(2024, 1, 1), QTime(12, 0), QTimeZone::utc()).addDays(n).toMSecsSinceEpoch();
}

struct Entry
{
    QByteArray path;
    int modifiedDay = 0;
    QString types = QStringLiteral("public.data");
    QString text; // empty: no text
    qint64 size = 1000;
    std::optional<int> addedDay;
    QString whereFroms;
    bool screenCapture = false;
    QString make;
    QString model;
    std::optional<int> lastUsedDay;
    bool isDir = false;
};

// A small home folder's index. Every file has its own day, so the newest-first order is fixed.
const std::vector<Entry> &entries()
{
    static const std::vector<Entry> e = {
        {.path = "/h/Documents/Invoice March.pdf", .modifiedDay = 30, .types = "com.adobe.pdf\npublic.data",
         .text = "Total due for the invoice of March", .size = 2'000'000},
        {.path = "/h/Documents/REPORT.PDF", .modifiedDay = 29, .types = "com.adobe.pdf\npublic.data",
         .text = "Quarterly invoices, all paid", .size = 500},
        {.path = "/h/Documents/r\xc3\xa9sum\xc3\xa9.docx", .modifiedDay = 28, .text = "Curriculum vitae; tax return attached"},
        {.path = "/h/Documents/RESUME.txt", .modifiedDay = 27, .types = "public.text\npublic.data",
         .text = "plain R\xc3\xa9sum\xc3\xa9 words"},
        {.path = "/h/Documents/notes.txt", .modifiedDay = 26, .types = "public.text\npublic.data",
         .text = "the syntax returned nothing; never drop table files"},
        {.path = "/h/Pictures/holiday.jpg", .modifiedDay = 25, .types = "public.image\npublic.data",
         .make = "Canon", .model = "Canon EOS 5D"},
        {.path = "/h/Pictures/DJI_0001.JPG", .modifiedDay = 24, .types = "public.image\npublic.data", .make = "DJI",
         .model = "FC3170"},
        {.path = "/h/Pictures/Screenshot from 2024.png", .modifiedDay = 23, .types = "public.image\npublic.data",
         .screenCapture = true},
        {.path = "/h/Downloads/50% off.pdf", .modifiedDay = 22, .types = "com.adobe.pdf\npublic.data"},
        {.path = "/h/Downloads/a_b.txt", .modifiedDay = 21, .text = "\"quoted\" words"},
        {.path = "/h/Downloads/it's here.txt", .modifiedDay = 20},
        {.path = "/h/Downloads/semi;colon.txt", .modifiedDay = 19},
        {.path = "/h/Downloads/star*name.txt", .modifiedDay = 18},
        {.path = "/h/Downloads/back\\slash.txt", .modifiedDay = 17},
        {.path = "/h/Downloads/quote\"d.txt", .modifiedDay = 16},
        {.path = "/h/Downloads/[draft]?.txt", .modifiedDay = 15},
        {.path = "/h/Downloads/setup.zip", .modifiedDay = 14, .addedDay = 40,
         .whereFroms = "https://example.com/setup.zip\nhttps://example.com/"},
        {.path = "/h/Documents/\xc3\x89" "COLE.md", .modifiedDay = 13},
        {.path = "/h/Documents/\xc3\x96lfeld.txt", .modifiedDay = 12},
        {.path = "/h/Documents/cafe\xcc\x81.txt", .modifiedDay = 11}, // combining accent
        {.path = "/h/Documents/\xe6\x97\xa5\xe6\x9c\xac\xe8\xaa\x9e.txt", .modifiedDay = 10},
        {.path = "/h/Applications/Tool.app", .modifiedDay = 9, .types = "com.apple.application-bundle\npublic.data",
         .lastUsedDay = 35},
        {.path = "/h/Documents/Invoices", .modifiedDay = 8, .types = "public.folder", .isDir = true},
        {.path = "/h2/Invoice copy.pdf", .modifiedDay = 31, .types = "com.adobe.pdf\npublic.data",
         .text = "invoice"},
    };
    return e;
}

class PredicateSqlTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        s_tree = new TempTree;
        s_file = QString::fromLocal8Bit(s_tree->path("index.sqlite"));
        QString error;
        auto store = IndexStore::open(s_file, &error);
        ASSERT_TRUE(store) << error.toStdString();
        ASSERT_TRUE(store->begin());
        for (const Entry &e : entries()) {
            IndexRecord r;
            r.path = e.path;
            r.name = QString::fromUtf8(e.path.mid(e.path.lastIndexOf('/') + 1));
            r.size = e.size;
            r.modified = day(e.modifiedDay);
            r.changed = r.modified;
            r.added = e.addedDay ? std::optional(day(*e.addedDay)) : std::nullopt;
            r.lastUsed = e.lastUsedDay ? std::optional(day(*e.lastUsedDay)) : std::nullopt;
            r.contentTypes = e.types;
            r.whereFroms = e.whereFroms.isEmpty() ? QString() : e.whereFroms;
            r.screenCapture = e.screenCapture;
            r.cameraMake = e.make.isEmpty() ? QString() : e.make;
            r.cameraModel = e.model.isEmpty() ? QString() : e.model;
            r.isDir = e.isDir;
            const auto text = e.text.isEmpty() ? std::nullopt : std::optional(e.text);
            ASSERT_TRUE(store->put(r, text, false)) << e.path.toStdString();
        }
        ASSERT_TRUE(store->commit());
    }
    static void TearDownTestSuite()
    {
        delete s_tree;
        s_tree = nullptr;
    }

    static QStringList names(const QList<QByteArray> &paths)
    {
        QStringList out;
        for (const QByteArray &p : paths)
            out << QString::fromUtf8(p.mid(p.lastIndexOf('/') + 1));
        return out;
    }

    static std::optional<QList<QByteArray>> search(const QString &predicate, const QByteArray &scope = "/h",
                                                   int max = 40000)
    {
        return SqliteMetadataIndex(s_file).search(predicate, scope, max);
    }

    static TempTree *s_tree;
    static QString s_file;
};

TempTree *PredicateSqlTest::s_tree = nullptr;
QString PredicateSqlTest::s_file;

TEST_F(PredicateSqlTest, EveryClauseFindsWhatItSays)
{
    const struct
    {
        const char *predicate;
        QStringList found; // names, any order
    } cases[] = {
        // Kinds: by content type (a whole line of the tree), by extension, by the screenshot marker.
        {R"(kMDItemContentTypeTree == "public.image")", {"holiday.jpg", "DJI_0001.JPG", "Screenshot from 2024.png"}},
        {R"(kMDItemContentTypeTree == "public.im")", {}},
        {R"(kMDItemContentTypeTree == "com.apple.application-bundle")", {"Tool.app"}},
        {R"(kMDItemContentTypeTree == "public.*"c && kMDItemFSName == "*.jpg"c)", {"holiday.jpg", "DJI_0001.JPG"}},
        {R"(kMDItemFSName == "*.pdf"c)", {"Invoice March.pdf", "REPORT.PDF", "50% off.pdf"}},
        {R"(kMDItemFSName == "*.pdf")", {"Invoice March.pdf", "50% off.pdf"}},
        {R"(kMDItemIsScreenCapture == 1)", {"Screenshot from 2024.png"}},
        {R"(kMDItemContentTypeTree != "public.folder" && kMDItemFSName == "Invoice*"c)", {"Invoice March.pdf"}},
        {R"(kMDItemFSName == "Invoice*"c)", {"Invoice March.pdf", "Invoices"}},
        // Dates, sizes; a file without an added date satisfies no test of it.
        {R"((kMDItemFSContentChangeDate >= $time.iso(2024-01-30T00:00:00Z) || kMDItemDateAdded >= $time.iso(2024-01-30T00:00:00Z)))",
         {"Invoice March.pdf", "REPORT.PDF", "setup.zip"}},
        {R"(kMDItemFSContentChangeDate < $time.iso(2024-01-11T00:00:00Z) && kMDItemDateAdded >= $time.iso(2020-01-01T00:00:00Z))",
         {}},
        {R"(kMDItemFSSize >= 1000000)", {"Invoice March.pdf"}},
        {R"(kMDItemFSSize <= 500)", {"REPORT.PDF"}},
        {R"(kMDItemLastUsedDate >= $time.iso(2024-02-01T00:00:00Z))", {"Tool.app"}},
        // Download origins and cameras: any value, any line, any part.
        {R"(kMDItemWhereFroms == "*")", {"setup.zip"}},
        {R"(kMDItemWhereFroms == "https://example.com/")", {"setup.zip"}},
        {R"(kMDItemWhereFroms == "https://example.com")", {}},
        {R"(kMDItemAcquisitionMake == "*")", {"holiday.jpg", "DJI_0001.JPG"}},
        {R"((kMDItemAcquisitionModel == "*dji*"cd || kMDItemAcquisitionMake == "*dji*"cd))", {"DJI_0001.JPG"}},
        {R"((kMDItemAcquisitionModel == "*eos*"cd || kMDItemAcquisitionMake == "*eos*"cd))", {"holiday.jpg"}},
        // Names: case and accents folded only when asked, in both spellings of an accent.
        {R"(kMDItemFSName == "*resume*"cd)", {"résumé.docx", "RESUME.txt"}},
        {R"(kMDItemFSName == "*RÉSUMÉ*"c)", {"résumé.docx"}},
        {R"(kMDItemFSName == "*resume*"d)", {"résumé.docx"}},
        {R"(kMDItemFSName == "*ecole*"cd)", {"ÉCOLE.md"}},
        {R"(kMDItemFSName == "*olfeld*"cd)", {"Ölfeld.txt"}},
        {R"(kMDItemFSName == "*café*"cd)", {"cafe\xcc\x81.txt"}},
        {R"(kMDItemFSName == "*café*"c)", {"cafe\xcc\x81.txt"}},
        {R"(kMDItemFSName == "*日本*"cd)", {"日本語.txt"}},
        {R"(kMDItemFSName == "invoice march.pdf"c)", {"Invoice March.pdf"}},
        {R"(kMDItemFSName == "invoice march.pdf")", {}},
        {R"(kMDItemFSName != "*.txt"c && kMDItemContentTypeTree == "public.text")", {}},
        // Characters that mean something to SQL, LIKE or GLOB are plain text here.
        {R"(kMDItemFSName == "*%*"cd)", {"50% off.pdf"}},
        {R"(kMDItemFSName == "*_*"cd)", {"a_b.txt", "DJI_0001.JPG"}},
        {R"(kMDItemFSName == "*'*"cd)", {"it's here.txt"}},
        {R"(kMDItemFSName == "*;*"cd)", {"semi;colon.txt"}},
        {R"(kMDItemFSName == "*\**"cd)", {"star*name.txt"}},
        {R"(kMDItemFSName == "*\\*"cd)", {"back\\slash.txt"}},
        {R"(kMDItemFSName == "*\"*"cd)", {"quote\"d.txt"}},
        {R"(kMDItemFSName == "*[*")", {"[draft]?.txt"}},
        {R"(kMDItemFSName == "*?*")", {"[draft]?.txt"}},
        {R"(kMDItemFSName == "*'; DROP TABLE files; --*"cd)", {}},
        // Words inside files: word prefixes, phrases on word edges, accents and case folded.
        {R"(kMDItemTextContent == "invoice*"cdw)", {"Invoice March.pdf", "REPORT.PDF"}},
        {R"(kMDItemTextContent == "invoice"cd)", {"Invoice March.pdf"}},
        {R"(kMDItemTextContent == "tax return"cd)", {"résumé.docx"}},
        {R"(kMDItemTextContent == "resume*"cdw)", {"RESUME.txt"}},
        {R"(kMDItemTextContent == "Résumé*"cw)", {"RESUME.txt"}},
        {R"(kMDItemTextContent == "résumé*"cw)", {"RESUME.txt"}},
        {R"(kMDItemTextContent == "résumé*"w)", {}},
        {R"(kMDItemTextContent == "\"quoted\"*"cdw)", {"a_b.txt"}},
        {R"(kMDItemTextContent == "drop table files; --*"cdw)", {"notes.txt"}},
        {R"(kMDItemTextContent == "%*"cdw)", {}},
        {R"(kMDItemTextContent == "*urricul*"cd)", {"résumé.docx"}},
        {R"(kMDItemTextContent == "*")",
         {"Invoice March.pdf", "REPORT.PDF", "résumé.docx", "RESUME.txt", "notes.txt", "a_b.txt"}},
        {R"(kMDItemTextContent != "*invoice*"cd)", {"résumé.docx", "RESUME.txt", "notes.txt", "a_b.txt"}},
        // The search's own predicate for the term "invoice", with its folder test.
        {R"(kMDItemContentTypeTree != "public.folder" && (kMDItemFSName == "*invoice*"cd || kMDItemTextContent == "invoice*"cdw))",
         {"Invoice March.pdf", "REPORT.PDF"}},
    };
    for (const auto &c : cases) {
        const auto found = search(QString::fromUtf8(c.predicate));
        ASSERT_TRUE(found) << c.predicate;
        QStringList got = names(*found);
        QStringList want = c.found;
        got.sort();
        want.sort();
        EXPECT_EQ(got, want) << c.predicate;
    }
    // Nothing the predicates held reached the tables.
    EXPECT_EQ(search(QStringLiteral(R"(kMDItemFSName == "*")"))->size(), qsizetype(entries().size()) - 1);
}

// Values never become SQL: the statement's text holds no quotes but the
// LIKE escape character, whatever the predicate held.
TEST_F(PredicateSqlTest, ValuesAreBoundNeverWritten)
{
    const char *predicates[] = {
        R"(kMDItemFSName == "*'; DROP TABLE files; --*"cd)",
        R"(kMDItemFSName == "a'b" && kMDItemWhereFroms == "x'y" && kMDItemContentTypeTree == "'")",
        R"(kMDItemTextContent == "it's*"cdw || kMDItemTextContent == "*'*"cd || kMDItemTextContent == "'"c)",
        R"(kMDItemAcquisitionModel != "\"" && kMDItemFSName == "日本'*"cd && kMDItemFSName == "x'*"w)",
    };
    for (const char *p : predicates) {
        const auto node = PredicateParser::parse(QString::fromUtf8(p));
        ASSERT_TRUE(node) << p;
        QString sql = PredicateSql::select(*node, "/h'", 10).sql;
        sql.remove(QStringLiteral("ESCAPE '\\'"));
        EXPECT_FALSE(sql.contains(u'\'')) << sql.toStdString();
        EXPECT_FALSE(sql.contains(u'"')) << sql.toStdString();
        EXPECT_FALSE(sql.contains(u';')) << sql.toStdString();
    }
}

TEST_F(PredicateSqlTest, NewestFirstInsideTheScopeAndNoMoreThanAsked)
{
    const QString pdfs = QStringLiteral(R"(kMDItemFSName == "*.pdf"c)");
    EXPECT_EQ(names(*search(pdfs)), (QStringList{"Invoice March.pdf", "REPORT.PDF", "50% off.pdf"}));
    EXPECT_EQ(names(*search(pdfs, "/h", 2)), (QStringList{"Invoice March.pdf", "REPORT.PDF"}));
    EXPECT_EQ(names(*search(pdfs, "/h/")), (QStringList{"Invoice March.pdf", "REPORT.PDF", "50% off.pdf"}));
    EXPECT_EQ(names(*search(pdfs, "/h2")), (QStringList{"Invoice copy.pdf"}));
    EXPECT_EQ(names(*search(pdfs, "/h/Downloads")), (QStringList{"50% off.pdf"}));
    EXPECT_EQ(search(pdfs, "/h/Down")->size(), 0);
    EXPECT_EQ(search(pdfs, {})->size(), 4);
    EXPECT_EQ(search(pdfs, "/h", 0)->size(), 0);
}

TEST_F(PredicateSqlTest, APredicateItCannotReadFindsNothingAndSaysSoOnce)
{
    static QStringList logged;
    logged.clear();
    const QtMessageHandler previous = qInstallMessageHandler(
        [](QtMsgType, const QMessageLogContext &, const QString &message) { logged << message; });
    const auto found = search(QStringLiteral("kMDItemFSName == \"abc\ndef"));
    qInstallMessageHandler(previous);
    EXPECT_FALSE(found);
    ASSERT_EQ(logged.size(), 1);
    EXPECT_TRUE(logged.first().contains(QStringLiteral("closing quote"))) << logged.first().toStdString();
    EXPECT_FALSE(logged.first().contains(u'\n'));

    EXPECT_FALSE(SqliteMetadataIndex(s_file + QStringLiteral(".missing")).search(QStringLiteral(R"(kMDItemFSSize >= 0)"), "/h", 10));
}

TEST_F(PredicateSqlTest, SearchesFromSeveralThreadsAtOnce)
{
    SqliteMetadataIndex index(s_file);
    const QString predicate =
        QStringLiteral(R"(kMDItemContentTypeTree != "public.folder" && (kMDItemFSName == "*resume*"cd || kMDItemTextContent == "resume*"cdw))");
    const auto expected = index.search(predicate, "/h", 100);
    ASSERT_TRUE(expected);
    ASSERT_EQ(expected->size(), 2);
    std::vector<std::thread> threads;
    std::atomic<int> wrong{0};
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&] {
            for (int i = 0; i < 25; ++i)
                if (index.search(predicate, "/h", 100) != expected)
                    ++wrong;
        });
    for (std::thread &t : threads)
        t.join();
    EXPECT_EQ(wrong.load(), 0);
}

} // namespace
