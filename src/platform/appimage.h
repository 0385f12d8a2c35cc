#pragma once

#include <QByteArray>

#include <optional>

// AppImages are Linux's single-file applications: an ELF runtime with a
// squashfs image of the application appended to it.
namespace AppImage {

// Where the squashfs image starts in the open file `fd`: just past the ELF
// section headers of a type 2 AppImage ("AI\2" at byte 8). None for anything else.
std::optional<qint64> squashfsOffset(int fd);

// The bytes of the image's own icon (`.DirIcon`, following a symbolic link
// inside the image), read with unsquashfs from squashfs-tools. Empty when the
// image has none, when squashfs-tools is missing, or when reading the file
// could move its access time (it is the application's last-used date) because
// the kernel refuses O_NOATIME to a user who is not its owner. Blocking: call
// it off the main thread. Remembered per path, size and modification time.
QByteArray dirIcon(const QByteArray &path);

} // namespace AppImage
