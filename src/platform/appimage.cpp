#include "appimage.h"

#include <QHash>
#include <QMutex>
#include <QProcess>
#include <QStandardPaths>

#include <cstring>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Larger images are not copied for their icon; the app symbol stands in.
constexpr qint64 kMaxImageBytes = 768LL << 20;
constexpr int kRunMs = 10000;

template <typename T>
T little(const unsigned char *p)
{
    T v = 0;
    for (size_t i = 0; i < sizeof(T); ++i)
        v |= T(p[i]) << (8 * i);
    return v;
}

// Reads exactly `n` bytes at `offset`.
bool readAt(int fd, void *into, size_t n, qint64 offset)
{
    auto *p = static_cast<char *>(into);
    while (n > 0) {
        const ssize_t got = ::pread(fd, p, n, offset);
        if (got <= 0)
            return false;
        p += got;
        n -= size_t(got);
        offset += got;
    }
    return true;
}

// A copy of the squashfs part in memory. unsquashfs opens files by name and
// so would read the AppImage itself without O_NOATIME, moving its last use.
int memoryCopy(int fd, qint64 offset, qint64 size)
{
    const int copy = ::memfd_create("tovalo-appimage", MFD_CLOEXEC);
    if (copy < 0)
        return -1;
    QByteArray chunk(1 << 20, Qt::Uninitialized);
    for (qint64 at = 0; at < size;) {
        const ssize_t got = ::pread(fd, chunk.data(), size_t(std::min<qint64>(chunk.size(), size - at)), offset + at);
        if (got <= 0 || ::write(copy, chunk.constData(), size_t(got)) != got) {
            ::close(copy);
            return -1;
        }
        at += got;
    }
    return copy;
}

struct Run
{
    bool ok = false;
    QByteArray out;
};

Run unsquashfs(const QString &program, const QStringList &arguments)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::SeparateChannels);
    p.start(program, arguments);
    if (!p.waitForFinished(kRunMs)) {
        p.kill();
        p.waitForFinished();
        return {};
    }
    return {p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0, p.readAllStandardOutput()};
}

// The link target of `inside` (a path in the image), or none when it is no link.
std::optional<QByteArray> linkTarget(const QString &program, const QString &image, const QByteArray &inside)
{
    const Run listed = unsquashfs(program, {QStringLiteral("-lls"), image, QString::fromUtf8(inside)});
    if (!listed.ok)
        return std::nullopt;
    for (const QByteArray &line : listed.out.split('\n')) {
        if (!line.startsWith('l'))
            continue;
        const qsizetype arrow = line.indexOf(" -> ");
        if (arrow > 0)
            return line.mid(arrow + 4);
    }
    return std::nullopt;
}

// `target` of a link found at `link`, as a path from the image's root.
QByteArray resolved(const QByteArray &link, const QByteArray &target)
{
    if (target.startsWith('/'))
        return target.mid(1);
    const qsizetype slash = link.lastIndexOf('/');
    return slash < 0 ? target : link.left(slash + 1) + target;
}

QByteArray extractIcon(const QString &program, const QString &image)
{
    QByteArray inside = ".DirIcon";
    // AppImage tools make .DirIcon a link to the icon at the root, sometimes through one more.
    for (int hop = 0; hop < 4; ++hop) {
        const Run cat = unsquashfs(program, {QStringLiteral("-cat"), image, QString::fromUtf8(inside)});
        if (cat.ok && !cat.out.isEmpty())
            return cat.out;
        const std::optional<QByteArray> target = linkTarget(program, image, inside);
        if (!target || target->contains("../"))
            return {};
        inside = resolved(inside, *target);
    }
    return {};
}

struct Remembered
{
    qint64 size;
    qint64 modified;
    QByteArray icon;
};

} // namespace

namespace AppImage {

std::optional<qint64> squashfsOffset(int fd)
{
    unsigned char head[64];
    if (!readAt(fd, head, sizeof head, 0) || std::memcmp(head, "\x7f" "ELF", 4) != 0 || head[8] != 'A' ||
        head[9] != 'I' || head[10] != 2 || head[5] != 1 /* little-endian */)
        return std::nullopt;
    qint64 offset = 0;
    if (head[4] == 2) // 64-bit
        offset = qint64(little<quint64>(head + 0x28)) + qint64(little<quint16>(head + 0x3A)) * little<quint16>(head + 0x3C);
    else if (head[4] == 1)
        offset = qint64(little<quint32>(head + 0x20)) + qint64(little<quint16>(head + 0x2E)) * little<quint16>(head + 0x30);
    else
        return std::nullopt;
    char magic[4];
    if (offset <= 0 || !readAt(fd, magic, sizeof magic, offset) || std::memcmp(magic, "hsqs", 4) != 0)
        return std::nullopt;
    return offset;
}

QByteArray dirIcon(const QByteArray &path)
{
    // Without O_NOATIME even one read would make the app look opened today.
    const int fd = ::open(path.constData(), O_RDONLY | O_NOATIME | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        return {};
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return {};
    }
    const qint64 modified = qint64(st.st_mtim.tv_sec) * 1000 + st.st_mtim.tv_nsec / 1000000;
    static QMutex lock;
    static QHash<QByteArray, Remembered> remembered;
    {
        QMutexLocker guard(&lock);
        const auto it = remembered.constFind(path);
        if (it != remembered.cend() && it->size == st.st_size && it->modified == modified) {
            ::close(fd);
            return it->icon;
        }
    }
    QByteArray icon;
    const std::optional<qint64> offset = squashfsOffset(fd);
    const QString program = QStandardPaths::findExecutable(QStringLiteral("unsquashfs"));
    if (offset && !program.isEmpty() && st.st_size - *offset <= kMaxImageBytes) {
        const int copy = memoryCopy(fd, *offset, st.st_size - *offset);
        if (copy >= 0) {
            icon = extractIcon(program, QStringLiteral("/proc/%1/fd/%2").arg(::getpid()).arg(copy));
            ::close(copy);
        }
    }
    ::close(fd);
    QMutexLocker guard(&lock);
    remembered.insert(path, Remembered{st.st_size, modified, icon});
    return icon;
}

} // namespace AppImage
