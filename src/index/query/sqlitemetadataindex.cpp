#include "sqlitemetadataindex.h"

#include "indexlog.h"
#include "indexsettings.h"
#include "indexstore.h"
#include "patternmatcher.h"
#include "predicateparser.h"
#include "predicatesql.h"

#include <QFileInfo>

#include <sqlite3.h>

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

} // namespace

SqliteMetadataIndex::SqliteMetadataIndex(QString file) : m_file(std::move(file)) {}

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
    if (!QFileInfo::exists(m_file))
        return std::nullopt;
    std::optional<SqliteDb> db = IndexStore::openReader(m_file, &error);
    if (!db) {
        qCWarning(lcIndex).noquote() << "Tovalo: cannot read the index:" << error;
        return std::nullopt;
    }
    if (!PatternMatcher::registerWith(db->handle())) {
        qCWarning(lcIndex).noquote() << "Tovalo: cannot search the index:" << db->errorText();
        return std::nullopt;
    }
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
    return paths;
}

void SqliteMetadataIndex::installDefault()
{
    if (IndexSettings::enabled())
        install(std::make_shared<SqliteMetadataIndex>(IndexStore::defaultFile()));
    else
        install(nullptr);
}
