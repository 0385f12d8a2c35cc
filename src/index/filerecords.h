#pragma once

#include "indexrecord.h"
#include "textfamily.h"

#include <QByteArray>

#include <optional>

struct statx;

// The index's rules for what it holds and how one row is made from the disk.
namespace FileRecords {

// What the walk does with one entry of a folder.
enum class Entry {
    skip,   // hidden, excluded, or a library package: no row, not entered
    row,    // a file or a package: one row, not entered
    folder, // a plain folder: a row, and its entries are read
};

Entry classify(const char *name, bool isDir);
// The row for `path`, read with one statx; none when it is gone, is not a
// file or folder, or the rules leave it out.
std::optional<IndexRecord> read(const QByteArray &path);
IndexRecord make(const QByteArray &path, const char *name, const struct statx &st);
QString lowerExtension(const QString &name);
// The reader a row needs; none for folders and packages.
TextFamily familyOf(const IndexRecord &record);
// The flags and fields every statx of the walk asks for.
unsigned statMask();

} // namespace FileRecords
