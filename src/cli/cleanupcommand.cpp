#include "commands.h"

#include "analysis/cleanup.h"
#include "catalogoptions.h"
#include "model/fileuri.h"
#include "recordjson.h"

#include <QJsonArray>
#include <QJsonObject>

int runCleanup(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Read the catalog and print its clean-up cards, then the bytes they would free."));
    CatalogOptions catalog;
    catalog.addTo(parser);
    auto env = catalog.parse(parser, arguments);
    if (!env)
        return 2;

    const auto library = scanCatalog(std::move(*env), CatalogReady::duplicates);
    QByteArray out;
    for (const CleanupCard &card : library->cleanup()) {
        QJsonArray items;
        QJsonArray uris;
        qint64 bytes = 0;
        for (const FileItem &item : card.items) {
            items.append(item.pathString());
            uris.append(QString::fromLatin1(FileUri::fromPath(item.path())));
            bytes += item.size();
        }
        out += jsonLine(QJsonObject{{QStringLiteral("kind"), card.id()},
                                    {QStringLiteral("count"), double(card.items.size())},
                                    {QStringLiteral("bytes"), double(bytes)},
                                    {QStringLiteral("items"), items},
                                    {QStringLiteral("itemUris"), uris}});
    }
    out += jsonLine(QJsonObject{{QStringLiteral("total"), double(Cleanup::total(library->cleanup()))}});
    writeOut(out);
    return 0;
}
