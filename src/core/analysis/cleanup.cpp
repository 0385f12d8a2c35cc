#include "cleanup.h"

#include <QSet>

#include <algorithm>
#include <array>

namespace {

// The one card a record belongs on apart from duplicates, if any; the first rule that holds wins.
bool isInstaller(QStringView ext)
{
    return ext == u"dmg" || ext == u"pkg" || ext == u"deb" || ext == u"rpm";
}

std::optional<CleanupKind> cardOf(const FileItem &item, Millis now, const QByteArray &downloads)
{
    if (item.kind() == Kind::app) {
        const std::optional<Millis> used = item.lastUsed();
        if (used && now - *used > Cleanup::kAppAge && !item.path().startsWith("/System"))
            return CleanupKind::apps;
        return std::nullopt;
    }
    // Ages are strict: a file exactly at the limit is not old yet. A date in the
    // future gives a negative age and matches nothing.
    const Millis age = now - item.activity();
    const QString ext = item.ext();
    if (isInstaller(ext) && age > Cleanup::kInstallerAge)
        return CleanupKind::installers;
    if (item.isScreenshot() && age > Cleanup::kScreenshotAge)
        return CleanupKind::screenshots;
    if (item.kind() == Kind::video && item.size() >= Cleanup::kBigVideo && age > Cleanup::kVideoAge)
        return CleanupKind::videos;
    if (isInside(item.path(), downloads) && age > Cleanup::kDownloadAge)
        return CleanupKind::downloads;
    return std::nullopt;
}

} // namespace

QList<CleanupCard> Cleanup::cards(const QList<FileItem> &items, const QList<DupGroup> &dups, Millis now,
                                  const QByteArray &downloads)
{
    std::array<QList<FileItem>, CleanupKinds::all.size()> lists;
    for (const FileItem &item : items)
        if (const auto kind = cardOf(item, now, downloads))
            lists[size_t(*kind)].append(item);
    QList<FileItem> &extras = lists[size_t(CleanupKind::duplicates)];
    for (const DupGroup &group : dups)
        extras.append(group.extras());

    QList<CleanupCard> out;
    out.reserve(qsizetype(lists.size()));
    for (CleanupKind kind : CleanupKinds::all) {
        QList<FileItem> &list = lists[size_t(kind)];
        std::stable_sort(list.begin(), list.end(),
                         [](const FileItem &a, const FileItem &b) { return a.size() > b.size(); });
        out.append(CleanupCard{kind, std::move(list)});
    }
    return out;
}

qint64 Cleanup::total(const QList<CleanupCard> &cards)
{
    QSet<QByteArray> counted;
    qint64 sum = 0;
    for (const CleanupCard &card : cards)
        for (const FileItem &item : card.items)
            if (!counted.contains(item.path())) {
                counted.insert(item.path());
                sum += item.size();
            }
    return sum;
}
