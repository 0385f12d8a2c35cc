#include "tempdir.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QThread>

#include <fcntl.h>
#include <ftw.h>
#include <sys/stat.h>
#include <sys/xattr.h>

#include <stdexcept>

TempTree::TempTree()
{
    if (!m_dir.isValid())
        throw std::runtime_error("cannot make a temporary folder");
    m_dir.setAutoRemove(false);
}

TempTree::~TempTree()
{
    const QByteArray root = path();
    // Folders a test locked must open again before their contents can go.
    ::nftw(root.constData(), [](const char *p, const struct stat *st, int type, struct FTW *) {
        if (type == FTW_D || type == FTW_DNR)
            ::chmod(p, (st->st_mode & 07777) | S_IRWXU);
        return 0;
    }, 32, FTW_PHYS);
    ::nftw(root.constData(), [](const char *p, const struct stat *, int, struct FTW *) {
        ::remove(p);
        return 0;
    }, 32, FTW_DEPTH | FTW_PHYS);
}

QByteArray TempTree::path(const QByteArray &relative) const
{
    QByteArray p = QFile::encodeName(m_dir.path());
    if (!relative.isEmpty())
        p += '/' + relative;
    return p;
}

QByteArray TempTree::folder(const QByteArray &relative)
{
    const QByteArray p = path(relative);
    QByteArray partial;
    for (const QByteArray &piece : p.split('/')) {
        partial += piece;
        if (!partial.isEmpty())
            ::mkdir(partial.constData(), 0755);
        partial += '/';
    }
    return p;
}

QByteArray TempTree::file(const QByteArray &relative, const QByteArray &contents)
{
    const qsizetype slash = relative.lastIndexOf('/');
    if (slash > 0)
        folder(relative.left(slash));
    const QByteArray p = path(relative);
    const int fd = ::open(p.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0)
        throw std::runtime_error("cannot write " + p.toStdString());
    if (::write(fd, contents.constData(), size_t(contents.size())) != contents.size()) {
        ::close(fd);
        throw std::runtime_error("short write " + p.toStdString());
    }
    ::close(fd);
    return p;
}

void TempTree::setModified(const QByteArray &relative, qint64 ms)
{
    struct timespec times[2];
    times[0].tv_sec = times[1].tv_sec = ms / 1000;
    times[0].tv_nsec = times[1].tv_nsec = (ms % 1000) * 1000000;
    ::utimensat(AT_FDCWD, path(relative).constData(), times, AT_SYMLINK_NOFOLLOW);
}

void TempTree::setXattr(const QByteArray &relative, const char *name, const QByteArray &value)
{
    if (::setxattr(path(relative).constData(), name, value.constData(), size_t(value.size()), 0) != 0)
        throw std::runtime_error("this file system keeps no user attributes");
}

bool waitUntil(const std::function<bool()> &done, std::chrono::milliseconds timeout)
{
    QDeadlineTimer deadline(timeout);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    }
    return true;
}
