#include "noatime.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace NoAtime {

int openAt(int dirfd, const char *name, int flags)
{
    const int fd = ::openat(dirfd, name, flags | O_NOATIME | O_CLOEXEC);
    if (fd >= 0 || errno != EPERM)
        return fd;
    return ::openat(dirfd, name, flags | O_CLOEXEC);
}

int open(const char *path, int flags)
{
    return openAt(AT_FDCWD, path, flags);
}

bool openForReading(QFile &file, const QByteArray &path)
{
    const int fd = open(path.constData(), O_RDONLY | O_NOCTTY);
    if (fd < 0)
        return false;
    if (file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle))
        return true;
    ::close(fd);
    return false;
}

bool keepsAccessTime(const QByteArray &path)
{
    const int fd = ::open(path.constData(), O_RDONLY | O_NOATIME | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        return false;
    ::close(fd);
    return true;
}

} // namespace NoAtime
