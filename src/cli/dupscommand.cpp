#include "commands.h"

#include "catalogoptions.h"
#include "model/fileuri.h"
#include "recordjson.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonObject>

int runDups(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Read the catalog and print its groups of identical files, most wasted first."));
    CatalogOptions catalog;
    catalog.addTo(parser);
    auto env = catalog.parse(parser, arguments);
    if (!env)
        return 2;

    const auto library = scanCatalog(std::move(*env), CatalogReady::duplicates);
    QByteArray out;
    for (const DupGroup &group : library->dupGroups()) {
        QJsonArray items;
        QJsonArray uris;
        for (const FileItem &item : group.items) {
            items.append(item.pathString());
            uris.append(QString::fromLatin1(FileUri::fromPath(item.path())));
        }
        out += jsonLine(QJsonObject{{QStringLiteral("id"), group.id},
                                    {QStringLiteral("keep"), QFile::decodeName(group.keep)},
                                    {QStringLiteral("keepUri"), QString::fromLatin1(FileUri::fromPath(group.keep))},
                                    {QStringLiteral("itemUris"), uris},
                                    {QStringLiteral("wasted"), double(group.wasted())},
                                    {QStringLiteral("items"), items}});
    }
    writeOut(out);
    return 0;
}
