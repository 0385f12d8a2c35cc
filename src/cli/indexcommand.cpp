#include "commands.h"

#include "extractclient.h"
#include "indexer.h"
#include "indexsettings.h"
#include "indexstatus.h"
#include "indexstore.h"
#include "recordjson.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QJsonObject>

namespace {

QJsonValue isoOrNull(const std::optional<qint64> &ms)
{
    if (!ms)
        return QJsonValue::Null;
    return QDateTime::fromMSecsSinceEpoch(*ms, Qt::UTC).toString(Qt::ISODateWithMs);
}

QJsonObject statusJson(const IndexStatus &s, const QString &file)
{
    return QJsonObject{{QStringLiteral("file"), file},
                       {QStringLiteral("enabled"), IndexSettings::enabled()},
                       {QStringLiteral("paused"), IndexSettings::paused()},
                       {QStringLiteral("state"), IndexStatus::stateName(s.state)},
                       {QStringLiteral("done"), s.done},
                       {QStringLiteral("found"), s.found},
                       {QStringLiteral("files"), s.files},
                       {QStringLiteral("lastPass"), isoOrNull(s.lastPass)},
                       {QStringLiteral("lastFullPass"), isoOrNull(s.lastFullPass)}};
}

} // namespace

int runIndex(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Bring the home folder's index up to date (files whose size or dates moved are read "
                       "again), then print its status as one JSON object."));
    const QCommandLineOption rebuild(QStringLiteral("rebuild"), QStringLiteral("Empty the index and read everything."));
    const QCommandLineOption status(QStringLiteral("status"), QStringLiteral("Only print the status."));
    parser.addOption(rebuild);
    parser.addOption(status);
    if (!parseOrComplain(parser, arguments))
        return 2;
    if (parser.isSet(rebuild) && parser.isSet(status))
        return complain(QStringLiteral("tovalo-cli: --rebuild and --status do not go together"));
    const QString file = IndexStore::defaultFile();
    if (parser.isSet(status)) {
        const std::optional<IndexStatus> s = IndexStatus::read(file);
        writeOut(jsonLine(statusJson(s.value_or(IndexStatus{}), file)));
        return 0;
    }
    Indexer indexer(file, {QFile::encodeName(QDir::homePath())}, ExtractClient::helperCommand());
    QString error;
    if (!indexer.runPass(parser.isSet(rebuild), &error)) {
        std::fprintf(stderr, "tovalo-cli: %s\n", qPrintable(error));
        return 1;
    }
    writeOut(jsonLine(statusJson(IndexStatus::read(file).value_or(indexer.status()), file)));
    return 0;
}
