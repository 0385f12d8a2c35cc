#pragma once

#include "analysis/cleanupcard.h"
#include "analysis/dupgroup.h"
#include "library/library.h"
#include "model/fileitem.h"

#include <memory>
#include <optional>
#include <QByteArray>
#include <QList>

// What the shell tests share: records built from a path, and a catalog that
// has applied one scan returning given records, groups and cards.
namespace ShellCatalog {

inline constexpr Millis kNow = 1741097520000; // 2025-03-04T14:12:00Z

FileItem file(const QByteArray &path, qint64 size = 1000, std::optional<QString> source = std::nullopt);

struct Contents
{
    QList<FileItem> records;
    QList<DupGroup> dups;
    QList<CleanupCard> cards;
    // Standard folders that exist on disk; they become the first locations.
    Library::Paths standard;
};

std::unique_ptr<Library> make(const QByteArray &home, const Contents &contents);

} // namespace ShellCatalog
