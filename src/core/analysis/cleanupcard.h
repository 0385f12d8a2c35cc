#pragma once

#include "model/fileitem.h"

#include <QList>
#include <QString>

#include <array>
#include <optional>

// The six kinds of clean-up suggestion, in card order.
enum class CleanupKind : quint8 { duplicates, downloads, installers, screenshots, videos, apps };

namespace CleanupKinds {

inline constexpr std::array<CleanupKind, 6> all = {CleanupKind::duplicates, CleanupKind::downloads,
                                                   CleanupKind::installers, CleanupKind::screenshots,
                                                   CleanupKind::videos,     CleanupKind::apps};
QString rawValue(CleanupKind kind);
std::optional<CleanupKind> fromRawValue(QStringView raw);
// What every view that shows a card says about its kind.
QString title(CleanupKind kind);
QString detail(CleanupKind kind);
// A symbol name of the shared symbol set.
QString symbol(CleanupKind kind);

} // namespace CleanupKinds

// One clean-up suggestion: which card, and its files, largest first.
struct CleanupCard final
{
    CleanupKind kind = CleanupKind::duplicates;
    QList<FileItem> items;

    QString id() const { return CleanupKinds::rawValue(kind); }
    friend bool operator==(const CleanupCard &, const CleanupCard &) = default;
};
