#include "latestdownloads.h"

#include "disk/filedates.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>

namespace {

Millis arrival(int dirFd, const char *name)
{
    struct statx st;
    if (statx(dirFd, name, AT_SYMLINK_NOFOLLOW, FileDates::statMask(), &st) != 0)
        return kDistantPast;
    return FileDates::of(st).added;
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
