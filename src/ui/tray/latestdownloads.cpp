#include "latestdownloads.h"

#include "library/scanner.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>

namespace {

Millis millis(const struct statx_timestamp &t)
{
    return Millis(t.tv_sec) * 1000 + t.tv_nsec / 1'000'000;
}

Millis arrival(int dirFd, const char *name)
{
    struct statx st;
    if (statx(dirFd, name, AT_SYMLINK_NOFOLLOW, STATX_CTIME | STATX_BTIME | STATX_MTIME, &st) != 0)
        return kDistantPast;
    if (Scanner::demoDates()) {
        // The catalog's rule for demonstration homes: creation, which a
        // generated file only has through its back-dated modification time.
        const Millis modified = (st.stx_mask & STATX_MTIME) ? millis(st.stx_mtime) : kDistantPast;
        return (st.stx_mask & STATX_BTIME) ? std::min(millis(st.stx_btime), modified) : modified;
    }
    if (st.stx_mask & STATX_CTIME)
        return millis(st.stx_ctime);
    if (st.stx_mask & STATX_BTIME)
        return millis(st.stx_btime);
    return kDistantPast;
}

} // namespace

QList<LatestDownloads::Entry> LatestDownloads::entries(const QByteArray &folder)
{
    QList<Entry> out;
    DIR *dir = opendir(folder.constData());
    if (!dir)
        return out;
    const QByteArray prefix = folder.endsWith('/') ? folder : folder + '/';
    while (const dirent *entry = readdir(dir)) {
        // Dot files are hidden, and so are "." and "..".
        if (entry->d_name[0] == '.')
            continue;
        out.append({prefix + entry->d_name, arrival(dirfd(dir), entry->d_name)});
    }
    closedir(dir);
    std::sort(out.begin(), out.end(), [](const Entry &a, const Entry &b) { return a.path < b.path; });
    return out;
}

QList<QByteArray> LatestDownloads::newest(QList<Entry> entries, int limit)
{
    std::stable_sort(entries.begin(), entries.end(),
                     [](const Entry &a, const Entry &b) { return a.added > b.added; });
    QList<QByteArray> out;
    for (const Entry &entry : entries) {
        if (out.size() >= limit)
            break;
        out.append(entry.path);
    }
    return out;
}

QList<QByteArray> LatestDownloads::latest(const QByteArray &folder, int limit)
{
    return newest(entries(folder), limit);
}
