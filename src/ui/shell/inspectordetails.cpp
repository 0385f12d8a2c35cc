#include "inspectordetails.h"

#include "model/fmt.h"
#include "model/kind.h"

#include <QDateTime>
#include <QFileInfo>
#include <QRegularExpression>

namespace {

// The locale's long date pattern without the weekday and with the month
// abbreviated: "dddd, MMMM d, yyyy" → "MMM d, yyyy", "dddd d. MMMM yyyy" → "d. MMM yyyy".
QString abbreviatedDatePattern(const QLocale &locale)
{
    QString pattern = locale.dateFormat(QLocale::LongFormat);
    static const QRegularExpression weekday(QStringLiteral("d{4}[,.]?\\s*"));
    pattern.remove(weekday);
    static const QRegularExpression fullMonth(QStringLiteral("M{4}"));
    pattern.replace(fullMonth, QStringLiteral("MMM"));
    return pattern.trimmed();
}

QString parentFolder(const FileItem &item)
{
    const QByteArray &path = item.path();
    const qsizetype slash = path.lastIndexOf('/');
    if (slash <= 0)
        return QStringLiteral("/");
    return QFile::decodeName(path.left(slash));
}

} // namespace

std::optional<FileItem> InspectorDetails::fileFor(const QList<FileItem> &visible,
                                                   const std::optional<QByteArray> &anchor)
{
    if (!anchor)
        return std::nullopt;
    for (const FileItem &item : visible)
        if (item.path() == *anchor)
            return item;
    return std::nullopt;
}

QList<InspectorDetails::Row> InspectorDetails::rows(const FileItem &item, Millis now, const QString &home,
                                                    const QLocale &locale, const QTimeZone &zone)
{
    QList<Row> out;
    const QString ext = item.ext();
    out.append({QStringLiteral("Kind"), ext.isEmpty() ? Kinds::title(item.kind()) : ext.toUpper()});
    out.append({QStringLiteral("Size"), Fmt::size(item.size())});
    out.append({QStringLiteral("Where"), Fmt::path(parentFolder(item), home)});
    if (const std::optional<QString> source = item.source())
        out.append({QStringLiteral("From"), *source});
    out.append({QStringLiteral("Added"), date(item.added(), locale, zone)});
    out.append({QStringLiteral("Modified"), date(item.modified(), locale, zone)});
    if (const std::optional<Millis> used = item.lastUsed())
        out.append({QStringLiteral("Last opened"), Fmt::relative(*used, now)});
    if (item.isCloudOnly())
        out.append({QStringLiteral("iCloud"), QStringLiteral("Not downloaded")});
    return out;
}

QString InspectorDetails::date(Millis when, const QLocale &given, const QTimeZone &zone)
{
    // The C locale of an unconfigured session reads as plain US English, not as seconds-precise ISO-like text.
    const QLocale locale = given.language() == QLocale::C ? QLocale(QLocale::English, QLocale::UnitedStates) : given;
    const QDateTime moment = QDateTime::fromMSecsSinceEpoch(when, zone);
    const QString day = locale.toString(moment.date(), abbreviatedDatePattern(locale));
    const QString time = locale.toString(moment.time(), QLocale::ShortFormat);
    // English joins the two with "at"; other languages get the plain comma most of their formats use.
    const QString joiner = locale.language() == QLocale::English ? QStringLiteral(" at ") : QStringLiteral(", ");
    return day + joiner + time;
}

QString InspectorDetails::subjects(const QStringList &labels)
{
    return labels.mid(0, kMaxSubjects).join(QStringLiteral(" · "));
}
