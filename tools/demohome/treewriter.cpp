#include "treewriter.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <optional>
#include <QDir>
#include <QFile>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>
#include <vector>

namespace {

struct timespec timespecOf(Millis ms)
{
    struct timespec t;
    t.tv_sec = time_t(ms / 1000);
    t.tv_nsec = long((ms % 1000) * 1000000);
    if (t.tv_nsec < 0) {
        t.tv_sec -= 1;
        t.tv_nsec += 1000000000L;
    }
    return t;
}

Millis millisOf(const struct timespec &t)
{
    return Millis(t.tv_sec) * 1000 + Millis(t.tv_nsec) / 1000000;
}

void writeAll(int fd, const QByteArray &bytes, bool &ok)
{
    const char *p = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0 && ok) {
        const ssize_t n = ::write(fd, p, size_t(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            ok = false;
            break;
        }
        p += n;
        left -= n;
    }
}

struct FolderEntry
{
    QByteArray path;
    int depth;
};

void collectFolders(const QByteArray &path, int depth, std::vector<FolderEntry> &out)
{
    out.push_back({path, depth});
    DIR *dir = ::opendir(path.constData());
    if (!dir)
        return;
    while (dirent *e = ::readdir(dir)) {
        if (std::strcmp(e->d_name, ".") == 0 || std::strcmp(e->d_name, "..") == 0)
            continue;
        const QByteArray child = path + '/' + e->d_name;
        struct stat st;
        if (::lstat(child.constData(), &st) == 0 && S_ISDIR(st.st_mode))
            collectFolders(child, depth + 1, out);
    }
    ::closedir(dir);
}

std::optional<Millis> newestInside(const QByteArray &path)
{
    std::optional<Millis> newest;
    DIR *dir = ::opendir(path.constData());
    if (!dir)
        return newest;
    while (dirent *e = ::readdir(dir)) {
        if (std::strcmp(e->d_name, ".") == 0 || std::strcmp(e->d_name, "..") == 0)
            continue;
        struct stat st;
        const QByteArray child = path + '/' + e->d_name;
        if (::lstat(child.constData(), &st) == 0)
            newest = std::max(newest.value_or(millisOf(st.st_mtim)), millisOf(st.st_mtim));
    }
    ::closedir(dir);
    return newest;
}

void blocksUnder(const QByteArray &path, qint64 &total)
{
    struct stat st;
    if (::lstat(path.constData(), &st) != 0)
        return;
    total += qint64(st.st_blocks) * 512;
    if (!S_ISDIR(st.st_mode))
        return;
    DIR *dir = ::opendir(path.constData());
    if (!dir)
        return;
    while (dirent *e = ::readdir(dir)) {
        if (std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0)
            blocksUnder(path + '/' + e->d_name, total);
    }
    ::closedir(dir);
}

} // namespace

TreeWriter::TreeWriter(const QString &root) : m_root(root) {}

QByteArray TreeWriter::native(const QString &relative) const
{
    return QFile::encodeName(m_root + u'/' + relative);
}

void TreeWriter::fail(const QByteArray &path, const char *what) const
{
    const int err = errno;
    throw WriteError(std::string("cannot ") + what + " " + path.toStdString() + ": " +
                     std::strerror(err));
}

void TreeWriter::makeParents(const QByteArray &path)
{
    const qsizetype slash = path.lastIndexOf('/');
    if (slash <= 0)
        return;
    const QByteArray parent = path.left(slash);
    struct stat st;
    if (::stat(parent.constData(), &st) == 0)
        return;
    makeParents(parent);
    if (::mkdir(parent.constData(), 0755) != 0 && errno != EEXIST)
        fail(parent, "make folder");
}

void TreeWriter::setDate(const QByteArray &path, Millis modified)
{
    const struct timespec times[2] = {timespecOf(modified), timespecOf(modified)};
    if (::utimensat(AT_FDCWD, path.constData(), times, AT_SYMLINK_NOFOLLOW) != 0)
        fail(path, "date");
}

void TreeWriter::write(const QString &relative, const QByteArray &bytes, Millis modified)
{
    const QByteArray path = native(relative);
    makeParents(path);
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        fail(path, "write");
    bool ok = true;
    writeAll(fd, bytes, ok);
    if (::close(fd) != 0)
        ok = false;
    if (!ok)
        fail(path, "write");
    setDate(path, modified);
    ++m_files;
    m_bytes += bytes.size();
}

void TreeWriter::sparse(const QString &relative, const QByteArray &head, qint64 size,
                        Millis modified, const QByteArray &tail)
{
    const QByteArray path = native(relative);
    makeParents(path);
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        fail(path, "write");
    bool ok = true;
    size = std::max<qint64>(size, head.size() + tail.size());
    writeAll(fd, head, ok);
    if (ok && !tail.isEmpty()) {
        ok = ::lseek(fd, off_t(size - tail.size()), SEEK_SET) >= 0;
        writeAll(fd, tail, ok);
    }
    if (ok && ::ftruncate(fd, off_t(size)) != 0)
        ok = false;
    if (::close(fd) != 0)
        ok = false;
    if (!ok)
        fail(path, "write");
    setDate(path, modified);
    ++m_files;
    m_bytes += size;
}

void TreeWriter::copy(const QString &from, const QString &to, Millis modified)
{
    const QByteArray source = native(from);
    struct stat st;
    if (::stat(source.constData(), &st) != 0)
        fail(source, "read");
    // Large files here are mostly holes: copying them as a head plus a hole keeps them sparse.
    constexpr qint64 kHead = 64 * 1024;
    if (st.st_size > 4 * kHead && qint64(st.st_blocks) * 512 < st.st_size / 2) {
        QFile in(QFile::decodeName(source));
        if (!in.open(QIODevice::ReadOnly))
            fail(source, "read");
        const QByteArray head = in.read(kHead);
        in.seek(st.st_size - kHead);
        const QByteArray tail = in.read(kHead);
        // Valid because what `sparse` writes is all zeros between its head and tail.
        sparse(to, head, st.st_size, modified, tail);
        return;
    }
    write(to, read(from), modified);
}

void TreeWriter::folder(const QString &relative)
{
    const QByteArray path = native(relative);
    makeParents(path + "/x");
}

void TreeWriter::makeExecutable(const QString &relative)
{
    const QByteArray path = native(relative);
    if (::chmod(path.constData(), 0755) != 0)
        fail(path, "change the mode of");
}

void TreeWriter::setAttribute(const QString &relative, const char *name, const QByteArray &value)
{
    if (m_attributesLost)
        return;
    const QByteArray path = native(relative);
    if (::setxattr(path.constData(), name, value.constData(), size_t(value.size()), 0) == 0)
        return;
    m_attributesLost = true;
    std::fprintf(
        stderr,
        "tovalo-demohome: warning: %s keeps no user attributes (%s); downloads get no sources\n",
        QFile::encodeName(m_root).constData(), std::strerror(errno));
}

QByteArray TreeWriter::read(const QString &relative) const
{
    const QByteArray path = native(relative);
    QFile in(QFile::decodeName(path));
    if (!in.open(QIODevice::ReadOnly))
        fail(path, "read");
    return in.readAll();
}

void TreeWriter::dateFolders(Millis empty)
{
    std::vector<FolderEntry> folders;
    collectFolders(QFile::encodeName(m_root), 0, folders);
    std::stable_sort(folders.begin(), folders.end(),
                     [](const FolderEntry &a, const FolderEntry &b) { return a.depth > b.depth; });
    for (const FolderEntry &f : folders)
        setDate(f.path, newestInside(f.path).value_or(empty));
}

qint64 TreeWriter::diskBytes() const
{
    qint64 total = 0;
    blocksUnder(QFile::encodeName(m_root), total);
    return total;
}
