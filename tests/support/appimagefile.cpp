#include "appimagefile.h"

#include <fcntl.h>
#include <sys/stat.h>

namespace {

void put(QByteArray &bytes, int at, quint64 value, int width)
{
    for (int i = 0; i < width; ++i)
        bytes[at + i] = char((value >> (8 * i)) & 0xff);
}

timespec timespecOf(qint64 ms)
{
    return timespec{time_t(ms / 1000), long(ms % 1000) * 1000000};
}

} // namespace

QByteArray appImageBytes(const QByteArray &squashfs)
{
    QByteArray elf(64, '\0');
    elf.replace(0, 4, "\x7f" "ELF");
    elf[4] = 2; // 64-bit
    elf[5] = 1; // little-endian
    elf[6] = 1; // version
    elf[8] = 'A';
    elf[9] = 'I';
    elf[10] = 2; // AppImage type 2
    put(elf, 0x10, 2, 2);    // executable
    put(elf, 0x12, 0x3e, 2); // x86-64
    put(elf, 0x28, 64, 8);   // section headers at 64…
    put(elf, 0x3a, 64, 2);   // …of 64 bytes each…
    put(elf, 0x3c, 0, 2);    // …and none of them: the image follows at 64
    return elf + squashfs;
}

void setFileTimes(const QByteArray &path, qint64 accessed, qint64 modified)
{
    const timespec times[2] = {timespecOf(accessed), timespecOf(modified)};
    ::utimensat(AT_FDCWD, path.constData(), times, AT_SYMLINK_NOFOLLOW);
}
