#include "xattr.h"

#include <plist/plist.h>
#include <sys/xattr.h>

#include <atomic>
#include <cerrno>
#include <sys/syscall.h>
#include <unistd.h>
#include <cstring>
#include <memory>

namespace {

// Size first, then a buffer of exactly that size: attributes are small and rare.
QByteArray read(const QByteArray &path, const char *name)
{
    const ssize_t size = ::getxattr(path.constData(), name, nullptr, 0);
    if (size < 1)
        return {};
    QByteArray value(size, Qt::Uninitialized);
    const ssize_t got = ::getxattr(path.constData(), name, value.data(), size_t(size));
    if (got <= 0)
        return {};
    value.truncate(got);
    return value;
}

bool listed(const char *names, ssize_t length, const char *wanted)
{
    for (const char *p = names; p < names + length; p += std::strlen(p) + 1)
        if (std::strcmp(p, wanted) == 0)
            return true;
    return false;
}

QString urlText(const QByteArray &raw)
{
    QByteArray trimmed = raw;
    while (trimmed.endsWith('\0'))
        trimmed.chop(1);
    return QString::fromUtf8(trimmed).trimmed();
}

// listxattrat(2), Linux 6.13 and later; older kernels answer ENOSYS once
// and the path is used from then on.
std::atomic<bool> g_noListAt{false};

ssize_t listAt(int dirfd, const char *name, char *names, size_t size)
{
#ifdef __x86_64__
    constexpr long kListxattrat = 465;
    if (!g_noListAt.load(std::memory_order_relaxed)) {
        const long got = ::syscall(kListxattrat, dirfd, name, 0, names, size);
        if (got >= 0 || errno != ENOSYS)
            return got;
        g_noListAt.store(true, std::memory_order_relaxed);
    }
#endif
    (void)dirfd;
    (void)name;
    (void)names;
    (void)size;
    errno = ENOSYS;
    return -1;
}

QStringList fromListing(const QByteArray &path, const char *names, ssize_t length)
{
    using namespace Xattr;
    if (length == 0 || (length < 0 && errno != ERANGE))
        return {};
    const bool all = length < 0; // too many names to list: ask for each one
    QStringList out;
    if (all || listed(names, length, kOrigin) || listed(names, length, kReferrer)) {
        const QString origin = urlText(read(path, kOrigin));
        const QString referrer = urlText(read(path, kReferrer));
        if (!origin.isEmpty())
            out.append(origin);
        if (!referrer.isEmpty())
            out.append(referrer);
        if (!out.isEmpty())
            return out;
    }
    if (all || listed(names, length, kForeignWhereFroms))
        return decodeStringList(read(path, kForeignWhereFroms));
    return {};
}

} // namespace

namespace Xattr {

QStringList whereFroms(const QByteArray &path)
{
    // One listing answers for most files, which carry no attributes at all.
    char names[1024];
    const ssize_t length = ::listxattr(path.constData(), names, sizeof names);
    return fromListing(path, names, length);
}

QStringList whereFromsAt(int dirfd, const char *name, const QByteArray &path)
{
    // Asked for the length alone first: the kernel then needs no buffer for
    // the answer of most files, which carry no attributes at all.
    const ssize_t needed = listAt(dirfd, name, nullptr, 0);
    if (needed < 0 && errno == ENOSYS)
        return whereFroms(path);
    if (needed <= 0)
        return {};
    char names[1024];
    const ssize_t length = listAt(dirfd, name, names, sizeof names);
    return fromListing(path, names, length);
}

QStringList decodeStringList(const QByteArray &bytes)
{
    if (bytes.isEmpty() || bytes.size() > 16 * 1024 * 1024)
        return {};
    plist_t root = nullptr;
    plist_from_memory(bytes.constData(), uint32_t(bytes.size()), &root);
    if (!root)
        return {};
    std::unique_ptr<void, void (*)(plist_t)> guard(root, plist_free);
    if (plist_get_node_type(root) != PLIST_ARRAY)
        return {};
    QStringList out;
    const uint32_t count = plist_array_get_size(root);
    for (uint32_t i = 0; i < count; ++i) {
        plist_t node = plist_array_get_item(root, i);
        if (plist_get_node_type(node) != PLIST_STRING)
            return {};
        char *value = nullptr;
        plist_get_string_val(node, &value);
        out.append(QString::fromUtf8(value ? value : ""));
        std::free(value);
    }
    return out;
}

} // namespace Xattr
