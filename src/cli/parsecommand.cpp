#include "commands.h"

#include "querytext.h"
#include "recordjson.h"
#include "search/queryparser.h"
#include "search/spotlight.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonObject>

namespace {

QJsonValue text(const std::optional<QString> &s)
{
    return s ? QJsonValue(*s) : QJsonValue(QJsonValue::Null);
}

QJsonValue number(const std::optional<qint64> &n)
{
    return n ? QJsonValue(*n) : QJsonValue(QJsonValue::Null);
}

QJsonValue date(const std::optional<Millis> &d, const QTimeZone &zone)
{
    if (!d)
        return QJsonValue(QJsonValue::Null);
    return QDateTime::fromMSecsSinceEpoch(*d, zone).toString(Qt::ISODateWithMs);
}

QJsonObject queryJson(const Query &q, const QTimeZone &zone)
{
    QJsonArray kinds;
    for (const Kind k : q.kinds)
        kinds.append(Kinds::rawValue(k));
    QJsonArray exts;
    for (const QString &e : q.exts)
        exts.append(e);
    QJsonArray chips;
    for (const Chip &c : q.chips())
        chips.append(QJsonObject{{QStringLiteral("id"), c.id},
                                 {QStringLiteral("label"), c.label},
                                 {QStringLiteral("symbol"), c.symbol}});
    return QJsonObject{{QStringLiteral("kinds"), kinds},
                       {QStringLiteral("exts"), exts},
                       {QStringLiteral("screenshots"), q.screenshots},
                       {QStringLiteral("kindLabel"), text(q.kindLabel)},
                       {QStringLiteral("from"), date(q.from, zone)},
                       {QStringLiteral("to"), date(q.to, zone)},
                       {QStringLiteral("dateLabel"), text(q.dateLabel)},
                       {QStringLiteral("minSize"), number(q.minSize)},
                       {QStringLiteral("maxSize"), number(q.maxSize)},
                       {QStringLiteral("sizeLabel"), text(q.sizeLabel)},
                       {QStringLiteral("source"), text(q.source)},
                       {QStringLiteral("device"), text(q.device)},
                       {QStringLiteral("terms"), QJsonArray::fromStringList(q.terms)},
                       {QStringLiteral("chips"), chips},
                       {QStringLiteral("predicate"), text(Spotlight::queryString(q))}};
}

} // namespace

int runParse(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Read search text into a query: its filters, terms, chips and metadata predicate. "
                       "Dates are in the local time zone; weeks start on the locale's first weekday."));
    const QCommandLineOption nowOption(QStringLiteral("now"),
                                       QStringLiteral("The current moment (ISO 8601; local time without an offset)."),
                                       QStringLiteral("ISO8601"));
    const QCommandLineOption sourcesOption(QStringLiteral("sources"),
                                           QStringLiteral("Download-source names, comma-separated (default none)."),
                                           QStringLiteral("NAME,NAME..."));
    parser.addOption(nowOption);
    parser.addOption(sourcesOption);
    const std::optional<QString> query = parseQueryText(parser, arguments);
    if (!query)
        return 2;

    Millis now = QDateTime::currentMSecsSinceEpoch();
    if (parser.isSet(nowOption)) {
        const QDateTime given = QDateTime::fromString(parser.value(nowOption), Qt::ISODateWithMs);
        if (!given.isValid())
            return complain(QStringLiteral("tovalo-cli: parse: not an ISO 8601 date and time: %1")
                                .arg(parser.value(nowOption)));
        now = given.toMSecsSinceEpoch();
    }
    QStringList sources;
    if (parser.isSet(sourcesOption))
        for (const QString &name : parser.value(sourcesOption).split(u',', Qt::SkipEmptyParts))
            sources << name.trimmed();

    const Query q = QueryParser::parse(*query, sources, now);
    writeOut(jsonLine(queryJson(q, Calendar::current().zone())));
    return 0;
}
