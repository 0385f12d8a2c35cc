#include "commands.h"

#include "indexstore.h"
#include "pathargument.h"
#include "predicateparser.h"
#include "sqlitemetadataindex.h"

#include <QDir>
#include <QFileInfo>

#include <cstdio>

namespace {

// Apart from 1 (no index, or one that cannot be read) and 2 (bad usage).
constexpr int kRejected = 3;

} // namespace

int runQuery(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Run a metadata-index predicate (the language the wide search writes, such as "
                       "'kMDItemFSName == \"*.pdf\"c && kMDItemTextContent == \"invoice*\"cdw') over the index; "
                       "the paths found, newest content change first, one per line."));
    parser.addHelpOption();
    const QCommandLineOption limit(QStringLiteral("limit"), QStringLiteral("At most N paths (default 40000)."),
                                   QStringLiteral("N"), QStringLiteral("40000"));
    const QCommandLineOption scope(QStringLiteral("scope"), QStringLiteral("Only files under DIR."),
                                   QStringLiteral("DIR"));
    const QCommandLineOption index(QStringLiteral("index"),
                                   QStringLiteral("The index file (default: the application's own)."),
                                   QStringLiteral("FILE"));
    parser.addOptions({limit, scope, index});
    parser.addPositionalArgument(QStringLiteral("PREDICATE"),
                                 QStringLiteral("The predicate; several words are joined by spaces."),
                                 QStringLiteral("PREDICATE..."));
    if (!parser.parse(arguments))
        return complain(QStringLiteral("tovalo-cli: %1").arg(parser.errorText()));
    if (parser.isSet(QStringLiteral("help"))) {
        std::fputs(qPrintable(parser.helpText()), stdout);
        return 0;
    }
    const QString predicate = parser.positionalArguments().join(u' ');
    if (predicate.trimmed().isEmpty())
        return complain(QStringLiteral("tovalo-cli: query: missing predicate"));
    bool ok = false;
    const int max = parser.value(limit).toInt(&ok);
    if (!ok || max < 1)
        return complain(QStringLiteral("tovalo-cli: query: --limit takes a whole number above 0"));
    QString error;
    if (!PredicateParser::parse(predicate, &error))
        return complain(QStringLiteral("tovalo-cli: query: predicate not understood, %1").arg(error));

    QString file = IndexStore::defaultFile();
    if (parser.isSet(index)) {
        const std::optional<QByteArray> given = pathArgument(parser.value(index), &error);
        if (!given)
            return complain(QStringLiteral("tovalo-cli: query: %1").arg(error));
        file = QFile::decodeName(*given);
    }
    if (!QFileInfo::exists(file)) {
        complain(QStringLiteral("tovalo-cli: query: no index at %1 (tovalo-cli index builds it)").arg(file));
        return 1;
    }
    QByteArray folder;
    if (parser.isSet(scope)) {
        const std::optional<QByteArray> given = pathArgument(parser.value(scope), &error);
        if (!given)
            return complain(QStringLiteral("tovalo-cli: query: %1").arg(error));
        folder = absolutePath(*given);
    }
    QString why;
    if (!IndexStore::openReader(file, &why)) {
        complain(QStringLiteral("tovalo-cli: query: the index at %1 cannot be read: %2").arg(file, why));
        return 1;
    }
    const auto found = SqliteMetadataIndex(file).search(predicate, folder, max);
    if (!found) {
        // The index opened, so SQLite refused this predicate (such as a pattern too complex for it).
        complain(QStringLiteral("tovalo-cli: query: the index could not run this predicate"));
        return kRejected;
    }
    QByteArray chunk;
    for (const QByteArray &path : *found) {
        chunk += path;
        chunk += '\n';
        if (chunk.size() > 1 << 16) {
            writeOut(chunk);
            chunk.clear();
        }
    }
    writeOut(chunk);
    return 0;
}
