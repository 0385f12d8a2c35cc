#include "sqlitemetadataindex.h"

#include "indexlog.h"
#include "indexsettings.h"
#include "indexstore.h"
#include "patternmatcher.h"
#include "predicateparser.h"
#include "predicatesql.h"

#include <QFile>

#include <sqlite3.h>

#include <sys/stat.h>

namespace {

// Predicates come from users of the command line too: one line in the log, whatever they hold.
QString oneLine(QString text)
{
    for (QChar &c : text)
        if (c.category() == QChar::Other_Control)
            c = u' ';
    return text;
}

void bindAll(SqliteStatement &statement, const std::vector<PredicateSql::Binding> &bindings)
{
    for (size_t i = 0; i < bindings.size(); ++i) {
        const int at = int(i) + 1;
        const PredicateSql::Binding &b = bindings[i];
        if (const auto *n = std::get_if<qint64>(&b))
            statement.bind(at, *n);
        else if (const auto *d = std::get_if<double>(&b))
            sqlite3_bind_double(statement.handle(), at, *d);
        else if (const auto *t = std::get_if<QString>(&b))
            statement.bindText(at, *t);
        else
            statement.bindBlob(at, std::get<QByteArray>(b));
    }
}

// Idle connections kept for later searches; more at once are opened and closed.
constexpr size_t kIdleConnections = 4;

std::optional<std::pair<dev_t, ino_t>> identity(const QByteArray &file)
{
    struct stat st;
    if (::stat(file.constData(), &st) != 0)
        return std::nullopt;
    return std::pair(st.st_dev, st.st_ino);
}

} // namespace

struct SqliteMetadataIndex::Connection
{
    SqliteDb db;
    std::pair<dev_t, ino_t> file;
};

SqliteMetadataIndex::SqliteMetadataIndex(QString file) : m_file(std::move(file)) {}

SqliteMetadataIndex::~SqliteMetadataIndex() = default;

std::unique_ptr<SqliteMetadataIndex::Connection> SqliteMetadataIndex::take()
{
    const auto current = identity(QFile::encodeName(m_file));
    if (!current)
        return nullptr;
    {
        const std::lock_guard lock(m_lock);
        while (!m_idle.empty()) {
            std::unique_ptr<Connection> c = std::move(m_idle.back());
            m_idle.pop_back();
            // An index moved aside and made anew is another file: its old connections go.
            if (c->file == *current)
                return c;
        }
    }
    QString error;
    std::optional<SqliteDb> db = IndexStore::openReader(m_file, &error);
    if (!db) {
        qCWarning(lcIndex).noquote() << "Tovalo: cannot read the index:" << error;
        return nullptr;
    }
    if (!PatternMatcher::registerWith(db->handle())) {
        qCWarning(lcIndex).noquote() << "Tovalo: cannot search the index:" << db->errorText();
        return nullptr;
    }
    return std::make_unique<Connection>(Connection{std::move(*db), *current});
}

void SqliteMetadataIndex::giveBack(std::unique_ptr<Connection> connection)
{
    const std::lock_guard lock(m_lock);
    if (m_idle.size() < kIdleConnections)
        m_idle.push_back(std::move(connection));
}

std::optional<QList<QByteArray>> SqliteMetadataIndex::search(const QString &predicate, const QByteArray &scope,
                                                             int maxCount)
{
    QString error;
    const std::optional<Predicate::Node> node = PredicateParser::parse(predicate, &error);
    if (!node) {
        qCWarning(lcIndex).noquote() << "Tovalo: index query not understood," << error << "in:" << oneLine(predicate);
        return std::nullopt;
    }
    if (maxCount <= 0)
        return QList<QByteArray>();
    std::unique_ptr<Connection> connection = take();
    if (!connection)
        return std::nullopt;
    SqliteDb *db = &connection->db;
    const PredicateSql::Statement sql = PredicateSql::select(*node, scope, maxCount);
    SqliteStatement statement = db->prepare(sql.sql.toUtf8().constData());
    if (!statement.isValid()) {
        qCWarning(lcIndex).noquote() << "Tovalo: cannot search the index:" << db->errorText();
        return std::nullopt;
    }
    bindAll(statement, sql.bindings);
    QList<QByteArray> paths;
    while (statement.step())
        paths.append(statement.blob(0));
    if (statement.failed()) {
        qCWarning(lcIndex).noquote() << "Tovalo: index search failed:" << db->errorText();
        return std::nullopt;
    }
    statement = SqliteStatement();
    giveBack(std::move(connection));
    return paths;
}

void SqliteMetadataIndex::installDefault()
{
    if (IndexSettings::enabled())
        install(std::make_shared<SqliteMetadataIndex>(IndexStore::defaultFile()));
    else
        install(nullptr);
}
