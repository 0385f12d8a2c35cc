#pragma once

#include <QByteArray>

class QFile;

// Tovalo's own reads of a file (hashing, thumbnails, text recognition, the
// index, sizing) must never count as the user opening it: an application's
// last-used date is its access time. O_NOATIME is only granted to the file's
// owner; for anyone else the kernel says EPERM and the plain open is used.
namespace NoAtime {

// open(2) / openat(2) with O_NOATIME added where the kernel allows it.
int open(const char *path, int flags);
int openAt(int dirfd, const char *name, int flags);
// Opens `file` read-only on `path` through open() above; false when it cannot be opened.
bool openForReading(QFile &file, const QByteArray &path);
// Whether a read through open() leaves the access time of `path` alone.
bool keepsAccessTime(const QByteArray &path);

} // namespace NoAtime
