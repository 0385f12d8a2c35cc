#include "sidebarbadges.h"

#include "analysis/cleanup.h"
#include "model/fmt.h"

#include <QLocale>

namespace {

std::optional<QString> plainCount(qsizetype count)
{
    if (count == 0)
        return std::nullopt;
    return QString::number(count);
}

std::optional<QString> byteCount(qint64 bytes)
{
    if (bytes < 1)
        return std::nullopt;
    return Fmt::bytes(bytes);
}

} // namespace

std::optional<QString> SidebarBadges::kind(const QMap<Kind, QList<FileItem>> &byKind, Kind kind)
{
    const auto at = byKind.constFind(kind);
    if (at == byKind.constEnd())
        return std::nullopt;
    return QLocale().toString(at->size());
}

std::optional<QString> SidebarBadges::largeFiles(qsizetype count)
{
    return plainCount(count);
}

std::optional<QString> SidebarBadges::screenshots(qsizetype count)
{
    if (count == 0)
        return std::nullopt;
    return QLocale().toString(count);
}

std::optional<QString> SidebarBadges::duplicates(const QList<DupGroup> &groups)
{
    qint64 bytes = 0;
    for (const DupGroup &group : groups)
        for (const FileItem &extra : group.extras())
            bytes += extra.size();
    return byteCount(bytes);
}

std::optional<QString> SidebarBadges::cleanup(const QList<CleanupCard> &cards)
{
    return byteCount(Cleanup::total(cards));
}

std::optional<QString> SidebarBadges::sources(qsizetype count)
{
    return plainCount(count);
}
