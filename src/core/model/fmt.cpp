#include "fmt.h"

#include <QDateTime>
#include <QDir>
#include <QLocale>

#include <cmath>

namespace {

// Decimal units, as file browsers count: kilobytes without decimals, megabytes with one, larger
// units with two.
QString scaled(double value, const char *unit, int decimals)
{
    QLocale locale;
    QString number = locale.toString(value, 'f', decimals);
    if (decimals > 0) {
        // Trailing zeros carry no information ("3.0 MB" reads as "3 MB").
        const QChar point = locale.decimalPoint().at(0);
        while (number.endsWith(u'0') && number.contains(point))
            number.chop(1);
        if (number.endsWith(point))
            number.chop(1);
    }
    return number + u' ' + QLatin1String(unit);
}

QString unitPhrase(qint64 amount, const char *singular, const char *plural)
{
    return QLocale().toString(amount) + u' ' + QLatin1String(amount == 1 ? singular : plural);
}

} // namespace

namespace Fmt {

QString bytes(qint64 count)
{
    if (count == 1)
        return QStringLiteral("1 byte");
    if (count < 1000 && count > -1000)
        return QLocale().toString(count) + QStringLiteral(" bytes");
    const double v = double(count);
    struct Unit
    {
        double scale;
        const char *name;
        int decimals;
    };
    static constexpr Unit units[] = {{1e3, "KB", 0}, {1e6, "MB", 1}, {1e9, "GB", 2},
                                     {1e12, "TB", 2}, {1e15, "PB", 2}};
    const Unit *chosen = &units[0];
    for (const Unit &u : units)
        if (std::fabs(v) >= u.scale * 0.9995 || &u == &units[0])
            chosen = &u;
    return scaled(v / chosen->scale, chosen->name, chosen->decimals);
}

QString size(qint64 count)
{
    if (count < 1)
        return QStringLiteral("Zero KB");
    return bytes(count);
}

QString relative(Millis date, Millis now)
{
    const qint64 seconds = (date - now) / 1000;
    const qint64 magnitude = seconds < 0 ? -seconds : seconds;
    struct Step
    {
        qint64 seconds;
        const char *singular;
        const char *plural;
    };
    static constexpr Step steps[] = {{365LL * 86400, "year", "years"}, {30LL * 86400, "month", "months"},
                                     {7LL * 86400, "week", "weeks"},   {86400, "day", "days"},
                                     {3600, "hour", "hours"},          {60, "minute", "minutes"},
                                     {1, "second", "seconds"}};
    if (magnitude == 0)
        return QStringLiteral("now");
    for (const Step &s : steps) {
        if (magnitude >= s.seconds) {
            const QString phrase = unitPhrase(magnitude / s.seconds, s.singular, s.plural);
            return seconds < 0 ? phrase + QStringLiteral(" ago") : QStringLiteral("in ") + phrase;
        }
    }
    return QStringLiteral("now");
}

const QString &home()
{
    static const QString h = [] {
        const QByteArray demo = qgetenv("TOVALO_DEMO_HOME");
        if (qEnvironmentVariableIsSet("TOVALO_DEMO_HOME"))
            return QString::fromLocal8Bit(demo);
        return QDir::homePath();
    }();
    return h;
}

QString path(const QString &p, const QString &homePath)
{
    if (!homePath.isEmpty() && p.startsWith(homePath))
        return u'~' + p.mid(homePath.size());
    return p;
}

QString path(const QString &p)
{
    return path(p, home());
}

QString iso(Millis date)
{
    return QDateTime::fromMSecsSinceEpoch(date, Qt::UTC).toString(Qt::ISODateWithMs);
}

QString shortDate(Millis date)
{
    return QLocale().toString(QDateTime::fromMSecsSinceEpoch(date).date(), QStringLiteral("MMM d, yyyy"));
}

} // namespace Fmt
