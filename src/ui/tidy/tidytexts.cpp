#include "tidytexts.h"

#include "model/fmt.h"

#include <QDateTime>
#include <QFileInfo>
#include <QLocale>

namespace {

QString grouped(qsizetype n)
{
    return QLocale().toString(qint64(n));
}

QString plural(qsizetype n, const char *noun)
{
    return QString::fromLatin1(noun) + (n == 1 ? QString() : QStringLiteral("s"));
}

} // namespace

namespace TidyTexts {

const char *const kCleanupNote =
    "Nothing is deleted without asking. Files go to the Trash, and Undo puts the last batch straight back.";
const char *const kBackTitle = "Clean Up";
const char *const kDupSubtitle = "Byte-for-byte identical files across your folders";
// Linux has no files that live only in the cloud, so nothing is ever skipped for that.
const char *const kDupNote =
    "Tovalo keeps one copy of each. Extras go to the Trash, and Undo puts them straight back.";
const char *const kSourcesEmptySymbol = "arrow.down.circle";
const char *const kSourcesEmptyTitle = "No downloads with a known source";
const char *const kSourcesEmptyDetail = "Browsers record where a file came from when they save it.";

QString items(qsizetype count)
{
    return grouped(count) + u' ' + plural(count, "item");
}

QString sourceFiles(qsizetype count, qint64 bytes)
{
    return grouped(count) + u' ' + plural(count, "file") + QStringLiteral(" · ") + Fmt::size(bytes);
}

QString cleanupSubtitle(qint64 total)
{
    if (total < 1)
        return QStringLiteral("Nothing worth clearing out right now");
    return QStringLiteral("You could free up to ") + Fmt::size(total);
}

Review review(qsizetype count, qsizetype selected, qint64 selectedBytes, qsizetype spared)
{
    Review r;
    if (count == 0) {
        r.title = QStringLiteral("All clear");
        r.detail = QStringLiteral("Nothing left on this card.");
        return r;
    }
    r.title = QStringLiteral("Free up ") + Fmt::size(selectedBytes);
    r.detail = QString::number(selected) + QStringLiteral(" of ") + grouped(count) + u' ' +
               plural(count, "item") + QStringLiteral(" selected");
    r.actions = true;
    r.selectTitle = spared > 0 ? QStringLiteral("Select All") : QStringLiteral("Select None");
    r.trashTitle = selected == count ? QStringLiteral("Trash All") : QStringLiteral("Trash Selected");
    r.trashEnabled = selected > 0;
    return r;
}

DupBanner dupBanner(bool scanning, qsizetype groups, qsizetype extras, qint64 wasted)
{
    DupBanner b;
    if (scanning && groups == 0) {
        b.title = QStringLiteral("Comparing files…");
        b.detail = QStringLiteral("Only files of the same size are compared, so this is quick.");
    } else if (extras > 0) {
        b.title = QStringLiteral("Free up ") + Fmt::size(wasted);
        b.detail = grouped(extras) + (extras == 1 ? QStringLiteral(" extra copy in ")
                                                  : QStringLiteral(" extra copies in ")) +
                   grouped(groups) + u' ' + plural(groups, "group");
        b.trashAll = true;
    } else {
        b.title = QStringLiteral("No duplicates");
        b.detail = QStringLiteral("Every file here is one of a kind.");
    }
    return b;
}

QString groupName(const QList<FileItem> &items)
{
    QString best;
    bool first = true;
    for (const FileItem &item : items) {
        QString name = item.name();
        if (first || name.size() < best.size())
            best = std::move(name);
        first = false;
    }
    return best;
}

QString groupLine(qsizetype copies, qint64 wasted)
{
    return QString::number(copies) + QStringLiteral(" identical copies · ") + Fmt::size(wasted) +
           QStringLiteral(" can be freed");
}

QString keepTitle(qsizetype copies)
{
    return QStringLiteral("Keep 1, Trash ") + QString::number(copies - 1);
}

QString cellCaption(const FileItem &item)
{
    const QDate created = QDateTime::fromMSecsSinceEpoch(item.created()).date();
    return Fmt::size(item.size()) + QStringLiteral(" · ") +
           QLocale().toString(created, QStringLiteral("MMM d, yyyy"));
}

QString cellFolder(const FileItem &item)
{
    return Fmt::path(QFileInfo(item.pathString()).path());
}

QString cellTooltip(bool kept)
{
    return kept ? QStringLiteral("This copy stays") : QStringLiteral("Click to keep this copy instead");
}

QString sourcesSubtitle(qsizetype files, qsizetype sources)
{
    return grouped(files) + u' ' + plural(files, "downloaded file") + QStringLiteral(" from ") +
           grouped(sources) + u' ' + plural(sources, "source");
}

} // namespace TidyTexts
