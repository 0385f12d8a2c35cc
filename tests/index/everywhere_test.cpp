#include "contenttypes.h"
#include "indexstore.h"
#include "sqlitemetadataindex.h"
#include "textextractor.h"

#include "library/scanner.h"
#include "records.h"
#include "search/queryparser.h"
#include "search/searchengine.h"
#include "search/spotlight.h"
#include "tempdir.h"

#include <QDateTime>
#include <QDirIterator>
#include <QFileInfo>
#include <QTimeZone>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

qint64 utc(int y, int mo, int d)
{
    return QDateTime(QDate(y, mo, d), QTime(12, 0), QTimeZone::utc()).toMSecsSinceEpoch();
}

// Writes a row for every file and folder under `home`, with the text its
// reader finds, as the indexer's pass does.
void indexTree(const QByteArray &home, const QString &file)
{
    auto store = IndexStore::open(file);
    ASSERT_TRUE(store);
    ASSERT_TRUE(store->begin());
    QDirIterator it(QFile::decodeName(home), QDir::AllEntries | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo info(it.next());
        const QByteArray path = QFile::encodeName(info.filePath());
        struct stat st{};
        ASSERT_EQ(::stat(path.constData(), &st), 0);
        IndexRecord r;
        r.path = path;
        r.name = info.fileName();
        r.size = info.isDir() ? 0 : info.size();
        r.modified = qint64(st.st_mtim.tv_sec) * 1000 + st.st_mtim.tv_nsec / 1'000'000;
        r.changed = qint64(st.st_ctim.tv_sec) * 1000 + st.st_ctim.tv_nsec / 1'000'000;
        r.added = r.changed;
        r.isDir = info.isDir();
        r.contentTypes = info.isDir() ? ContentTypes::forFolder() : ContentTypes::forFile(info.fileName());
        std::optional<QString> text;
        if (!info.isDir()) {
            const QString ext = info.suffix().toLower();
            const ExtractResult read = TextExtractor::extract(path, TextFamilies::of(ext), ext);
            if (read.ok && !read.text.isEmpty())
                text = read.text;
        }
        ASSERT_TRUE(store->put(r, text, false)) << path.toStdString();
    }
    ASSERT_TRUE(store->commit());
}

class Everywhere : public ::testing::Test
{
protected:
    void SetUp() override
    {
        qunsetenv("TOVALO_DEMO_HOME");
        m_home = m_tree.path("home");
        m_tree.file("home/Documents/shipping report.txt", "Three crates left for Zanzibar on Monday.\n");
        m_tree.file("home/Documents/groceries.txt", "milk, bread, apples\n");
        m_tree.file("home/Projects/notes.html", "<html><body><p>Ferry times to <b>Zanzibar</b></p></body></html>");
        m_tree.file("home/Projects/zanzibar-plan.md", "dates to be decided\n");
        m_tree.file("home/Projects/big zanzibar.bin", QByteArray(5000, 'x'));
        m_tree.file("home/.cache/zanzibar.txt", "Zanzibar\n");
        m_tree.setModified("home/Documents/shipping report.txt", utc(2024, 5, 1));
        m_tree.setModified("home/Documents/groceries.txt", utc(2024, 5, 2));
        m_tree.setModified("home/Projects/notes.html", utc(2024, 5, 3));
        m_tree.setModified("home/Projects/zanzibar-plan.md", utc(2024, 5, 4));
        m_tree.setModified("home/Projects/big zanzibar.bin", utc(2024, 5, 5));
        m_indexFile = QFile::decodeName(m_tree.path("index.sqlite"));
        indexTree(m_home, m_indexFile);
        MetadataIndex::install(std::make_shared<SqliteMetadataIndex>(m_indexFile));

        const QByteArray documents = m_home + "/Documents";
        m_catalog.items = Scanner::scan({documents}, {});
        m_catalog.locations = {documents};
    }
    void TearDown() override { MetadataIndex::install(nullptr); }

    SearchEngine::Outcome search(const QString &text)
    {
        const Query q = QueryParser::parse(text, {}, utc(2024, 6, 1));
        const QList<FileItem> local = SearchEngine::local(q, m_catalog);
        const QByteArray home = m_home;
        return SearchEngine::everywhere(q, local, m_catalog,
                                        [home](const Query &query, int limit) {
                                            return Spotlight::search(query, limit, home);
                                        })
            .result();
    }

    TempTree m_tree;
    QByteArray m_home;
    QString m_indexFile;
    SearchEngine::Catalog m_catalog;
};

// The catalog holds only Documents, where no name has the word: the index
// finds the report by its text and, beyond the catalog, a page with the word
// in its text and a file with it in its name; hidden folders stay out.
TEST_F(Everywhere, FindsWordsInsideFilesAndFilesBeyondTheCatalog)
{
    const SearchEngine::Outcome outcome = search(QStringLiteral("zanzibar"));
    EXPECT_EQ(pathsOf(outcome.items),
              (QList<QByteArray>{m_home + "/Projects/big zanzibar.bin", m_home + "/Projects/zanzibar-plan.md",
                                 m_home + "/Projects/notes.html", m_home + "/Documents/shipping report.txt"}));
    EXPECT_EQ(outcome.beyond, 3);
}

// The filters are tested again on each file's own data, and a phrase is
// looked for as a phrase.
TEST_F(Everywhere, FiltersStillHoldForWhatTheIndexFinds)
{
    const SearchEngine::Outcome big = search(QStringLiteral("zanzibar over 4 kb"));
    EXPECT_EQ(pathsOf(big.items), (QList<QByteArray>{m_home + "/Projects/big zanzibar.bin"}));
    EXPECT_EQ(big.beyond, 1);

    const SearchEngine::Outcome phrase = search(QStringLiteral("\"crates left\""));
    EXPECT_EQ(pathsOf(phrase.items), (QList<QByteArray>{m_home + "/Documents/shipping report.txt"}));
    EXPECT_EQ(phrase.beyond, 0);
    EXPECT_TRUE(search(QStringLiteral("\"left crates\"")).items.isEmpty());
}

} // namespace
