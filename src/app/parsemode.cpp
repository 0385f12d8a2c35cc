#include "parsemode.h"

#include "search/queryparser.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QRegularExpression>

#include <cstdio>

bool ParseMode::asked()
{
    return qEnvironmentVariableIsSet("TOVALO_PARSE");
}

int ParseMode::main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Tovalo"));
    QCoreApplication::setOrganizationName(QStringLiteral("Tovalo"));
    return run();
}

QStringList ParseMode::sources()
{
    return {QStringLiteral("Gmail"), QStringLiteral("ChatGPT"), QStringLiteral("Canva")};
}

QString ParseMode::abbreviated(Millis instant, const QLocale &locale, const QTimeZone &zone)
{
    // Qt has long and short date forms only; the long one without its
    // weekday and with the short month name is the abbreviated form.
    static const QRegularExpression weekday(QStringLiteral(R"(^dddd[,\s]*|[,\s]*dddd)"));
    QString format = locale.dateFormat(QLocale::LongFormat);
    format.remove(weekday);
    format.replace(QStringLiteral("MMMM"), QStringLiteral("MMM"));
    if (!format.contains(QStringLiteral("MMM")))
        format = locale.dateFormat(QLocale::ShortFormat);
    return locale.toString(QDateTime::fromMSecsSinceEpoch(instant, zone).date(), format);
}

QString ParseMode::line(const QString &piece, const Query &query, const QLocale &locale, const QTimeZone &zone)
{
    QStringList labels;
    for (const Chip &chip : query.chips())
        labels << chip.label;
    const auto date = [&](const std::optional<Millis> &d) {
        return d ? abbreviated(*d, locale, zone) : QStringLiteral("-");
    };
    return QStringLiteral("parse | ") + piece + QStringLiteral(" | ") + labels.join(QStringLiteral(", ")) +
           QStringLiteral(" | ") + date(query.from) + QStringLiteral(" to ") + date(query.to);
}

int ParseMode::run()
{
    const QString value = qEnvironmentVariable("TOVALO_PARSE");
    const Millis now = QDateTime::currentMSecsSinceEpoch();
    const QLocale locale;
    const QTimeZone zone = Calendar::current().zone();
    const QStringList names = sources();
    QByteArray out;
    for (const QString &piece : value.split(u'|', Qt::SkipEmptyParts)) {
        const Query q = QueryParser::parse(piece, names, now);
        out += line(piece, q, locale, zone).toUtf8();
        out += '\n';
    }
    std::fwrite(out.constData(), 1, size_t(out.size()), stdout);
    std::fflush(stdout);
    return 0;
}
