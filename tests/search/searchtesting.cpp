#include "searchtesting.h"

namespace {

QString optional(const std::optional<QString> &s)
{
    return s ? u'"' + *s + u'"' : QStringLiteral("-");
}

QString date(const std::optional<Millis> &d)
{
    if (!d)
        return QStringLiteral("-");
    return QDateTime::fromMSecsSinceEpoch(*d, SearchTesting::berlin()).toString(Qt::ISODateWithMs);
}

} // namespace

void PrintTo(const Query &q, std::ostream *os)
{
    QStringList kinds;
    for (const Kind k : q.kinds)
        kinds << Kinds::rawValue(k);
    QStringList exts(q.exts.begin(), q.exts.end());
    const QString text =
        QStringLiteral("{kinds [%1] exts [%2] shots %3 kindLabel %4 from %5 to %6 dateLabel %7 min %8 max %9 "
                       "sizeLabel %10 source %11 device %12 terms [%13]}")
            .arg(kinds.join(u','), exts.join(u','), q.screenshots ? QStringLiteral("yes") : QStringLiteral("no"),
                 optional(q.kindLabel), date(q.from), date(q.to), optional(q.dateLabel),
                 q.minSize ? QString::number(*q.minSize) : QStringLiteral("-"),
                 q.maxSize ? QString::number(*q.maxSize) : QStringLiteral("-"))
            .arg(optional(q.sizeLabel), optional(q.source), optional(q.device), q.terms.join(QStringLiteral(" | ")));
    *os << text.toStdString();
}
