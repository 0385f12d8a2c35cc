#pragma once

#include <QByteArray>

// The bytes of a type 2 AppImage: a 64-bit ELF header carrying the AppImage
// magic, no sections, and `squashfs` right after it (where the runtime's
// section headers end).
QByteArray appImageBytes(const QByteArray &squashfs = "hsqs");

// Sets a file's access and modification times (milliseconds since 1970), without following links.
void setFileTimes(const QByteArray &path, qint64 accessed, qint64 modified);
