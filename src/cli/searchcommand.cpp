#include "commands.h"

#include "catalogoptions.h"
#include "querytext.h"
#include "recordjson.h"
#include "search/queryparser.h"
#include "search/searchengine.h"
#include "search/searchsession.h"
#include "sqlitemetadataindex.h"

#include <QDateTime>
#include <QJsonObject>

int runSearch(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Read the catalog and search it, then the metadata index beyond it; one JSON line per "
                       "file found, newest first, and a last line with the counts."));
    CatalogOptions catalog;
    catalog.addTo(parser);
    const std::optional<QString> text = parseQueryText(parser, arguments);
    if (!text)
        return 2;
    QString error;
    auto env = catalog.environment(parser, &error);
    if (!env)
        return complain(error);

    // The wide stage reads the application's own index; switched off or not built yet, it finds nothing more.
    SqliteMetadataIndex::installDefault();
    const auto library = scanCatalog(std::move(*env));
    const Query q = QueryParser::parse(*text, SearchSession::sourceNames(*library), QDateTime::currentMSecsSinceEpoch());
    const SearchEngine::Catalog snapshot = SearchEngine::Catalog::of(*library);
    const QList<FileItem> local = SearchEngine::local(q, snapshot);
    const SearchEngine::Outcome outcome = SearchEngine::everywhere(q, local, snapshot).result();

    QByteArray chunk;
    for (const FileItem &item : outcome.items) {
        appendRecordJson(chunk, item);
        if (chunk.size() > 1 << 16) {
            writeOut(chunk);
            chunk.clear();
        }
    }
    chunk += jsonLine(QJsonObject{{QStringLiteral("matches"), double(outcome.items.size())},
                                  {QStringLiteral("beyond"), double(outcome.beyond)}});
    writeOut(chunk);
    return 0;
}
