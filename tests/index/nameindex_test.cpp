#include "indexstore.h"
#include "patternmatcher.h"
#include "predicateparser.h"
#include "sqlitemetadataindex.h"

#include "tempdir.h"

#include <QFile>

#include <gtest/gtest.h>

#include <sqlite3.h>

namespace {

// Names whose folds are unlike their spelling: ligatures, letters that fold
// to two, dotted capitals, final sigma, title-case digraphs, accents written
// both ways, strokes, scripts without case.
const char *const kNames[] = {
    "Config.yaml",
    "my-CONFIG.txt",
    "\xc3\x87ONFIG.md",                // ÇONFIG
    "con\xef\xac\x81g.txt",            // conﬁg with the ﬁ ligature
    "STRASSE.txt",
    "Stra\xc3\x9f" "e.txt",            // Straße
    "\xe1\xba\x9etra\xc3\x9f" "e",     // ẞtraße
    "\xc4\xb0stanbul.txt",             // İstanbul
    "\xce\xa3\xce\x9f\xce\xa6\xce\x99\xce\x91.txt", // ΣΟΦΙΑ
    "\xcf\x83\xce\xbf\xcf\x86\xce\xaf\xce\xb1\xcf\x82", // σοφίας
    "\xc7\x85" "emal",                 // ǅemal
    "cafe\xcc\x81 noir",               // café, combining accent
    "caf\xc3\xa9 noir",                // café, precomposed
    "\xc3\x98lfeld",                   // Ølfeld
    "\xe6\x97\xa5\xe6\x9c\xac\xe8\xaa\x9e\xe3\x83\x95\xe3\x82\xa1\xe3\x82\xa4\xe3\x83\xab", // 日本語ファイル
    "r\xc3\xa9sum\xc3\xa9",            // résumé
    "R\xc3\x89SUM\xc3\x89.pdf",        // RÉSUMÉ.pdf
    "\xef\xbf\xbd" "config",           // a real U+FFFD
    "two words config here",
    "ab",
};

const char *const kValues[] = {
    "*config*", "*CONFIG*", "*onfi*", "*fig*", "*strasse*", "*straße*", "*STRASSE*", "*ẞtra*", "*istanbul*",
    "*İstanbul*", "*σοφια*", "*ΣΟΦΊΑ*", "*σοφίας*", "*ǆemal*", "*DŽEMAL*", "*café*", "*cafe*", "*olfeld*",
    "*ølfeld*", "*本語フ*", "*résumé*", "*sumé*", "résumé", "Config*", "*.txt", "*fig.t*", "*words*here*",
    "word*", "*config", "c*g*", "*ab*", "ab", "*�con*",
};

const char *const kModifiers[] = {"", "c", "d", "cd", "cdw", "w"};

class NameIndexTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_file = QString::fromLocal8Bit(m_tree.path("index.sqlite"));
        QString error;
        auto store = IndexStore::open(m_file, &error);
        ASSERT_TRUE(store) << error.toStdString();
        ASSERT_TRUE(store->begin());
        qint64 modified = 0;
        for (const char *name : kNames) {
            IndexRecord r;
            r.path = QByteArray("/h/") + name;
            r.name = QString::fromUtf8(name);
            r.modified = r.changed = ++modified;
            r.contentTypes = QStringLiteral("public.data");
            ASSERT_TRUE(store->put(r, std::nullopt, false)) << name;
        }
        ASSERT_TRUE(store->commit());
    }

    QStringList found(const QString &predicate)
    {
        const auto paths = SqliteMetadataIndex(m_file).search(predicate, "/h", 1000);
        EXPECT_TRUE(paths) << predicate.toStdString();
        QStringList names;
        for (const QByteArray &p : paths.value_or(QList<QByteArray>()))
            names << QString::fromUtf8(p.mid(3));
        names.sort();
        return names;
    }

    TempTree m_tree;
    QString m_file;
};

// The index only narrows the rows: what a search finds is exactly what the
// matcher says of every name on its own, whatever the value and modifiers.
TEST_F(NameIndexTest, FindsExactlyWhatTheMatcherFinds)
{
    int compared = 0;
    for (const char *value : kValues) {
        for (const char *modifiers : kModifiers) {
            const QString predicate =
                QStringLiteral("kMDItemFSName == \"%1\"%2").arg(QString::fromUtf8(value), QLatin1String(modifiers));
            const auto node = PredicateParser::parse(predicate);
            ASSERT_TRUE(node) << predicate.toStdString();
            const auto &pattern = std::get<Predicate::Pattern>(node->comparison.value);
            const PatternMatcher matcher(pattern.segments, PatternMatcher::flagsOf(pattern));
            QStringList want;
            for (const char *name : kNames)
                if (matcher.matches(name))
                    want << QString::fromUtf8(name);
            want.sort();
            EXPECT_EQ(found(predicate), want) << predicate.toStdString();
            compared += int(want.size());
        }
    }
    // The table is worth something only while many of its cases find files.
    EXPECT_GT(compared, 150);
}

TEST_F(NameIndexTest, ARenamedOrRemovedFileLeavesTheIndex)
{
    const QString oldName = QStringLiteral(R"(kMDItemFSName == "*config*"c)");
    const QString newName = QStringLiteral(R"(kMDItemFSName == "*settings*"c)");
    ASSERT_TRUE(found(oldName).contains(QStringLiteral("Config.yaml")));
    {
        auto store = IndexStore::open(m_file);
        ASSERT_TRUE(store);
        IndexRecord r;
        r.path = "/h/Config.yaml";
        r.name = QStringLiteral("Settings.yaml");
        r.contentTypes = QStringLiteral("public.data");
        ASSERT_TRUE(store->put(r, std::nullopt, false));
        const auto stamp = store->stamp("/h/my-CONFIG.txt");
        ASSERT_TRUE(stamp);
        ASSERT_TRUE(store->remove(stamp->id));
    }
    EXPECT_FALSE(found(oldName).contains(QStringLiteral("Config.yaml")));
    EXPECT_FALSE(found(oldName).contains(QStringLiteral("my-CONFIG.txt")));
    EXPECT_EQ(found(newName), QStringList{QStringLiteral("Config.yaml")});

    auto store = IndexStore::open(m_file);
    ASSERT_TRUE(store);
    ASSERT_TRUE(store->clear());
    EXPECT_TRUE(found(newName).isEmpty());
    SqliteStatement rows = store->writer().prepare("SELECT count(*) FROM file_names");
    ASSERT_TRUE(rows.step());
    EXPECT_EQ(rows.int64(0), 0);
}

// An index written before names had their own table is rebuilt, not used
// with a name table missing.
TEST(NameIndexUpgrade, AnIndexOfTheEarlierVersionIsReplaced)
{
    TempTree tree;
    const QString file = QString::fromLocal8Bit(tree.path("index.sqlite"));
    {
        sqlite3 *db = nullptr;
        ASSERT_EQ(sqlite3_open(tree.path("index.sqlite").constData(), &db), SQLITE_OK);
        ASSERT_EQ(sqlite3_exec(db,
                               "CREATE TABLE files(id INTEGER PRIMARY KEY, path BLOB, name TEXT);"
                               "CREATE VIRTUAL TABLE file_text USING fts5(body);"
                               "CREATE TABLE meta(key TEXT PRIMARY KEY, value);"
                               "INSERT INTO meta VALUES('schema_version', 1);",
                               nullptr, nullptr, nullptr),
                  SQLITE_OK);
        sqlite3_close(db);
    }
    auto store = IndexStore::open(file);
    ASSERT_TRUE(store);
    EXPECT_EQ(store->meta(QStringLiteral("schema_version")).toLongLong(), IndexStore::kSchemaVersion);
    IndexRecord r;
    r.path = "/h/notes.txt";
    r.name = QStringLiteral("notes.txt");
    r.contentTypes = QStringLiteral("public.text");
    EXPECT_TRUE(store->put(r, std::nullopt, false));
}

} // namespace
