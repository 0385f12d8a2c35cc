#include "commands.h"

#include "catalogoptions.h"
#include "recordjson.h"

#include <QJsonArray>
#include <QJsonObject>

#include <cstdio>

namespace {

QJsonObject summary(const Library &library)
{
    QJsonObject byKind;
    QJsonObject sizeByKind;
    for (auto it = library.byKind().cbegin(); it != library.byKind().cend(); ++it)
        byKind.insert(Kinds::rawValue(it.key()), double(it.value().size()));
    for (auto it = library.sizeByKind().cbegin(); it != library.sizeByKind().cend(); ++it)
        sizeByKind.insert(Kinds::rawValue(it.key()), double(it.value()));
    QJsonArray sources;
    for (const SourceGroup &g : library.sources())
        sources.append(QJsonObject{{QStringLiteral("name"), g.name}, {QStringLiteral("count"), double(g.items.size())},
                                   {QStringLiteral("size"), double(g.size)}});
    return QJsonObject{{QStringLiteral("items"), double(library.items().size())},
                       {QStringLiteral("byKind"), byKind},
                       {QStringLiteral("sizeByKind"), sizeByKind},
                       {QStringLiteral("totalSize"), double(library.totalSize())},
                       {QStringLiteral("recents"), double(library.recents().size())},
                       {QStringLiteral("screenshots"), double(library.screenshots().size())},
                       {QStringLiteral("largeFiles"), double(library.largeFiles().size())},
                       {QStringLiteral("sources"), sources}};
}

} // namespace

int runScan(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Read the catalog and print its records."));
    CatalogOptions catalog;
    catalog.addTo(parser);
    const QCommandLineOption summaryOption(QStringLiteral("summary"),
                                           QStringLiteral("Print counts and sizes instead of records."));
    parser.addOption(summaryOption);
    auto env = catalog.parse(parser, arguments);
    if (!env)
        return 2;

    const auto library = scanCatalog(std::move(*env));
    if (parser.isSet(summaryOption)) {
        writeOut(jsonLine(summary(*library)));
        return 0;
    }
    // One buffer, emptied but never freed between writes.
    QByteArray chunk;
    chunk.reserve(1 << 17);
    for (const FileItem &item : library->items()) {
        appendRecordJson(chunk, item);
        if (chunk.size() > 1 << 16) {
            writeOut(chunk);
            chunk.resize(0);
        }
    }
    writeOut(chunk);
    return 0;
}
