#pragma once

#include "analysis/cleanupcard.h"
#include "analysis/dupgroup.h"
#include "model/fileitem.h"
#include "model/kind.h"

#include <optional>
#include <QList>
#include <QMap>
#include <QString>

// The counts and sizes the sidebar rows carry at their trailing edge. Some
// counts use the locale's grouping ("1,204") and some plain digits ("1204"),
// each as its row has always shown it; absent means the row shows no badge.
class SidebarBadges final
{
public:
    // The number of files of `kind`, grouped; absent when the catalog has no entry for it.
    static std::optional<QString> kind(const QMap<Kind, QList<FileItem>> &byKind, Kind kind);
    // Plain digits, absent at zero.
    static std::optional<QString> largeFiles(qsizetype count);
    // Grouped, absent at zero.
    static std::optional<QString> screenshots(qsizetype count);
    // Bytes the extra copies take, absent below one byte.
    static std::optional<QString> duplicates(const QList<DupGroup> &groups);
    // Bytes the clean-up cards would free, absent below one byte.
    static std::optional<QString> cleanup(const QList<CleanupCard> &cards);
    // Plain digits, absent at zero.
    static std::optional<QString> sources(qsizetype count);
};
