#include "records.h"
#include "search/queryparser.h"
#include "search/searchengine.h"

#include "searchtesting.h"
#include "tempdir.h"

#include <QFile>

#include <gtest/gtest.h>

using namespace SearchTesting;

namespace {

FileItem record(const QByteArray &path, qint64 size, Millis modified, Millis added = kDistantPast,
                std::optional<QString> source = std::nullopt, bool screenshot = false)
{
    FileItem::Fields f = fieldsFor(path);
    f.size = size;
    f.modified = modified;
    f.created = modified;
    f.added = added;
    f.source = source;
    f.isScreenshot = screenshot;
    return FileItem(f);
}

// A catalog big enough to be scanned in slices, with names in several
// scripts, accents in both spellings, recognised text and subjects.
SearchEngine::Catalog synthetic(qsizetype count)
{
    const char *stems[] = {"invoice", "Résumé", "RESUME", "re\xcc\x81sume\xcc\x81", "tax return", "Façade",
                           "holiday", "cat", "Report", "Ölfeld", "日本語", "Screenshot from 2024"};
    const char *exts[] = {"pdf", "jpg", "png", "mp4", "zip", "txt", "docx", "", "app", "heic"};
    const char *sources[] = {"Gmail", "ChatGPT", "Canva"};
    SearchEngine::Catalog c;
    quint32 seed = 12345;
    const auto next = [&seed] {
        seed = seed * 1664525u + 1013904223u;
        return seed >> 8;
    };
    const Millis base = at(2024, 6, 1);
    for (qsizetype i = 0; i < count; ++i) {
        QByteArray name = QByteArray(stems[next() % std::size(stems)]) + ' ' + QByteArray::number(i);
        const char *ext = exts[next() % std::size(exts)];
        if (*ext)
            name += QByteArray(".") + ext;
        const QByteArray path = "/home/ana/Documents/" + QByteArray::number(i % 97) + '/' + name;
        const Millis modified = base + Millis(next() % 400) * 86'400'000;
        const Millis added = next() % 3 == 0 ? modified + Millis(next() % 30) * 86'400'000 : kDistantPast;
        std::optional<QString> source;
        if (next() % 4 == 0)
            source = QString::fromLatin1(sources[next() % 3]);
        c.items.append(record(path, qint64(next() % 300'000'000), modified, added, source, next() % 10 == 0));
        if (i % 50 == 0)
            c.ocr.insert(path, QStringLiteral("Total due for the FAÇADE invoice"));
        if (i % 70 == 0)
            c.subjects.insert(path, {"dog", "beach"});
    }
    c.locations = {"/home/ana/Documents"};
    return c;
}

TEST(SearchLocal, AgreesWithTheRecordByRecordTestOnALargeCatalog)
{
    const SearchEngine::Catalog catalog = synthetic(90'000);
    const char *texts[] = {"",
                           "resume",
                           "RÉSUMÉ pdf",
                           "facade",
                           "invoice over 100 mb",
                           "\"tax return\" from last month",
                           "dogs",
                           "images since march",
                           "screenshots",
                           "from gmail",
                           "日本",
                           "holiday zip under 50 mb",
                           "apps",
                           "nothing-matches-this",
                           "cat report older than 3 months"};
    for (const char *text : texts) {
        const Query q = QueryParser::parse(QString::fromUtf8(text), {"Gmail", "ChatGPT", "Canva"}, now(), mondays());
        const QList<FileItem> expected = q.filter(catalog.items, catalog.ocr, catalog.subjects);
        const QList<FileItem> found = SearchEngine::local(q, catalog);
        EXPECT_EQ(found.size(), expected.size()) << text;
        EXPECT_TRUE(found == expected) << text;
    }
}

// Typing and deleting asks the same searches again, and ones that differ
// only in a filter; each answer must be that search's own.
TEST(SearchLocal, SearchesAskedAgainAnswerTheSame)
{
    const SearchEngine::Catalog catalog = synthetic(70'000);
    const char *texts[] = {"r", "re", "res", "resu", "res", "re", "r", "r pdf", "r", "r over 1 mb", "r pdf",
                           "", "r"};
    for (const char *text : texts) {
        const Query q = QueryParser::parse(QString::fromUtf8(text), {"Gmail", "ChatGPT", "Canva"}, now(), mondays());
        const QList<FileItem> expected = q.filter(catalog.items, catalog.ocr, catalog.subjects);
        EXPECT_TRUE(SearchEngine::local(q, catalog) == expected) << text;
    }
}

TEST(SearchLocal, WholeCatalogForAnEmptyQueryAndNothingForADevice)
{
    const SearchEngine::Catalog catalog = synthetic(50);
    EXPECT_EQ(SearchEngine::local(Query{}, catalog), catalog.items);
    EXPECT_TRUE(SearchEngine::local(Query{.device = "iphone"}, catalog).isEmpty());
}

TEST(SearchLocal, AChangedCatalogIsSearchedAfresh)
{
    SearchEngine::Catalog catalog;
    catalog.items = {record("/d/old invoice.pdf", 1, 0)};
    const Query q{.terms = {"invoice"}};
    EXPECT_EQ(SearchEngine::local(q, catalog).size(), 1);
    catalog.items = {record("/d/new.pdf", 1, 0)};
    EXPECT_TRUE(SearchEngine::local(q, catalog).isEmpty());
    catalog.ocr.insert("/d/new.pdf", QStringLiteral("an Invoice"));
    EXPECT_EQ(SearchEngine::local(q, catalog).size(), 1);
    catalog.ocr.clear();
    EXPECT_TRUE(SearchEngine::local(q, catalog).isEmpty());
}

SearchEngine::Outcome wide(const Query &q, const QList<FileItem> &local, const SearchEngine::Catalog &catalog,
                           QList<QByteArray> found)
{
    return SearchEngine::everywhere(q, local, catalog,
                                    [found](const Query &, int limit) {
                                        EXPECT_EQ(limit, SearchEngine::kWideLimit);
                                        return found;
                                    })
        .result();
}

TEST(SearchEverywhere, MergesNewestFirstAndCountsOnlyFilesOutsideTheCatalog)
{
    TempTree home;
    const QByteArray docs = home.folder("Documents");
    const QByteArray outside = home.file("Projects/invoice-2025.pdf", "content");
    const QByteArray tooBig = home.file("Projects/big invoice.pdf", QByteArray(3000, 'x'));
    const QByteArray unscanned = home.file("Documents/new invoice.pdf", "y");
    const QByteArray wrongKind = home.file("Projects/invoice.txt", "z");

    SearchEngine::Catalog catalog;
    const Millis day = 86'400'000;
    const Millis t = at(2025, 1, 10);
    catalog.items = {record(docs + "/a invoice.pdf", 10, t),
                     record(docs + "/b.pdf", 10, t - day),     // words only in its content
                     record(docs + "/c invoice.pdf", 10, t - 2 * day)};
    catalog.locations = {docs};
    const Query q{.exts = {"pdf"}, .kindLabel = "PDFs", .maxSize = 1000, .terms = {"invoice"}};
    const QList<FileItem> local = SearchEngine::local(q, catalog);
    ASSERT_EQ(pathsOf(local), (QList<QByteArray>{docs + "/a invoice.pdf", docs + "/c invoice.pdf"}));

    const SearchEngine::Outcome o =
        wide(q, local, catalog,
             {docs + "/c invoice.pdf", docs + "/b.pdf", outside, tooBig, unscanned, wrongKind,
              home.path("Projects/gone.pdf")});
    // Fresh files are the newest; catalog files keep their dates.
    const QList<QByteArray> got = pathsOf(o.items);
    ASSERT_EQ(got.size(), 5);
    EXPECT_TRUE(got.mid(0, 2).contains(outside));
    EXPECT_TRUE(got.mid(0, 2).contains(unscanned));
    EXPECT_EQ(got.mid(2), (QList<QByteArray>{docs + "/a invoice.pdf", docs + "/b.pdf", docs + "/c invoice.pdf"}));
    // The unscanned file lies in a catalog folder; only the one under Projects is outside.
    EXPECT_EQ(o.beyond, 1);
}

TEST(SearchEverywhere, EqualDatesPutLocalFilesFirst)
{
    const Millis t = at(2025, 1, 10);
    SearchEngine::Catalog catalog;
    catalog.items = {record("/h/Documents/x.pdf", 1, t), record("/h/Documents/y.pdf", 1, t)};
    catalog.locations = {"/h/Documents"};
    const Query q{.terms = {"x"}};
    const QList<FileItem> local = SearchEngine::local(q, catalog);
    const SearchEngine::Outcome o = wide(q, local, catalog, {"/h/Documents/y.pdf"});
    EXPECT_EQ(pathsOf(o.items), (QList<QByteArray>{"/h/Documents/x.pdf", "/h/Documents/y.pdf"}));
    EXPECT_EQ(o.beyond, 0);
}

TEST(SearchEverywhere, EmptyQueryGivesTheCatalogNewestFirst)
{
    SearchEngine::Catalog catalog;
    catalog.items = {record("/h/a", 1, 5), record("/h/b", 1, 1, 9), record("/h/c", 1, 7)};
    const SearchEngine::Outcome o = SearchEngine::everywhere(Query{}, SearchEngine::local(Query{}, catalog), catalog,
                                                             [](const Query &, int) { return QList<QByteArray>{}; })
                                        .result();
    EXPECT_EQ(pathsOf(o.items), (QList<QByteArray>{"/h/b", "/h/c", "/h/a"}));
    EXPECT_EQ(o.beyond, 0);
}

TEST(SearchEverywhere, ADeviceFilterIsAnsweredByTheWideSearchAlone)
{
    SearchEngine::Catalog catalog;
    catalog.items = {record("/h/Pictures/a.jpg", 1, 5), record("/h/Pictures/b.jpg", 1, 6)};
    catalog.locations = {"/h/Pictures"};
    const Query q{.device = "iphone"};
    const QList<FileItem> local = SearchEngine::local(q, catalog);
    EXPECT_TRUE(local.isEmpty());
    const SearchEngine::Outcome o = wide(q, local, catalog, {"/h/Pictures/a.jpg"});
    EXPECT_EQ(pathsOf(o.items), QList<QByteArray>{"/h/Pictures/a.jpg"});
    EXPECT_EQ(o.beyond, 0);
}

} // namespace
