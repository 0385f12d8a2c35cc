#include "duplicates.h"

#include "noatime.h"
#include "sha256.h"

#include <QFile>
#include <QHash>
#include <QRegularExpression>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <functional>
#include <sys/uio.h>
#include <memory>
#include <mutex>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

// Reads from the disk are mostly waits: several in flight let a solid-state
// disk work on them together (on the duplicates benchmark's cold cache, 8
// readers finish in about 0.4 of the time 2 take). Reads from the page cache
// are work for the processor, where more readers than cores only take turns.
constexpr unsigned kColdReaders = 8;

// Files in one batch share one open of their folder.
constexpr size_t kBatchFiles = 32;
// Files of one group read side by side at most.
constexpr size_t kGroupFiles = 64;

// What a stage reads of a file.
enum class Part {
    first, // the first kFirstBytes
    head,  // the first kHeadBytes (or another limit)
    tail,  // the last kFirstBytes
    screen, // all of it, through a fast hash that only tells files apart
    whole,
};

struct Entry
{
    qint64 size = 0;
    Millis modified = 0;
    std::optional<QString> first;
    std::optional<QString> head;
    std::optional<QString> tail;
    std::optional<QString> screen;
    std::optional<QString> full;

    std::optional<QString> &slot(Part part)
    {
        switch (part) {
        case Part::first: return first;
        case Part::head: return head;
        case Part::tail: return tail;
        case Part::screen: return screen;
        case Part::whole: break;
        }
        return full;
    }
};

struct Remembered
{
    std::mutex lock;
    QHash<QByteArray, Entry> entries;
};

Remembered &remembered()
{
    static Remembered *cache = new Remembered; // kept for the life of the process
    return *cache;
}

std::atomic<quint64> g_filesRead{0};
std::atomic<quint64> g_bytesRead{0};

using Digests = std::vector<std::optional<QString>>;

// Indices into `digests` grouped by their digest, keys in order of first
// appearance, members in the order given; indices without a digest are left out.
std::vector<std::pair<QString, std::vector<int>>> groupBy(const std::vector<int> &members,
                                                          const Digests &digests)
{
    std::vector<std::pair<QString, std::vector<int>>> out;
    QHash<QString, size_t> slot;
    for (int i : members) {
        const auto &d = digests[size_t(i)];
        if (!d)
            continue;
        const auto found = slot.constFind(*d);
        if (found != slot.cend()) {
            out[*found].second.push_back(i);
        } else {
            slot.insert(*d, out.size());
            out.push_back({*d, {i}});
        }
    }
    return out;
}

std::optional<QString> cachedDigest(const FileItem &item, Part part, qint64 limit, int dirfd, const char *name,
                                    bool *cold);
void remember(const FileItem &item, Part part, const QString &digest);

// The folder part of a path ("/" for a file at the root) and its name in it.
QByteArrayView folderOf(const QByteArray &path)
{
    const qsizetype slash = path.lastIndexOf('/');
    return QByteArrayView(path).first(slash > 0 ? slash : 1);
}

const char *nameOf(const QByteArray &path)
{
    return path.constData() + path.lastIndexOf('/') + 1;
}

// Fills `out[i]` with the digest of `items[i]` for every i of `work`, taking
// the work in the order given, a batch of files of one folder at a time:
// each file is opened by its name in the open folder, not by its whole path.
// Starts one reader per core; the first read that has to wait for the disk
// brings in more.
bool digestAll(const std::vector<FileItem> &items, const std::vector<int> &work, Part part, qint64 limit,
               Digests &out)
{
    std::vector<std::vector<int>> batches;
    {
        QHash<QByteArrayView, size_t> open; // the folder's batch still taking files
        for (int i : work) {
            const QByteArrayView folder = folderOf(items[size_t(i)].path());
            const auto found = open.constFind(folder);
            if (found != open.cend() && batches[*found].size() < kBatchFiles) {
                batches[*found].push_back(i);
                continue;
            }
            open.insert(folder, batches.size());
            batches.push_back({i});
        }
    }
    std::atomic<size_t> next{0};
    std::atomic<bool> cold{false};
    std::mutex lock;
    std::vector<std::thread> threads;
    bool closed = false;
    std::function<void()> run;
    auto moreReaders = [&] {
        std::lock_guard guard(lock);
        if (closed)
            return;
        const size_t room = std::min<size_t>(kColdReaders, batches.size());
        while (threads.size() + 1 < room)
            threads.emplace_back(run);
    };
    run = [&] {
        for (size_t k = next++; k < batches.size(); k = next++) {
            const std::vector<int> &batch = batches[k];
            const QByteArray folder = folderOf(items[size_t(batch.front())].path()).toByteArray();
            const int dirfd = ::open(folder.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
            for (int i : batch) {
                const FileItem &item = items[size_t(i)];
                bool waited = false;
                out[size_t(i)] = dirfd >= 0 ? cachedDigest(item, part, limit, dirfd, nameOf(item.path()), &waited)
                                            : std::nullopt;
                if (waited && !cold.exchange(true))
                    moreReaders();
            }
            if (dirfd >= 0)
                ::close(dirfd);
        }
    };
    {
        std::lock_guard guard(lock);
        const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
        const size_t warm = std::min<size_t>(std::min(cores, kColdReaders), batches.size());
        while (threads.size() + 1 < warm)
            threads.emplace_back(run);
    }
    run();
    std::vector<std::thread> started;
    {
        std::lock_guard guard(lock);
        closed = true;
        started = std::move(threads);
    }
    for (std::thread &t : started)
        t.join();
    return cold;
}

std::optional<QString> sameContent(const std::vector<FileItem> &items, const std::vector<int> &members,
                                   std::vector<bool> &same);

// Runs `work(k)` for k below `count` on `readers` threads.
void onThreads(size_t count, unsigned readers, const std::function<void(size_t)> &work)
{
    std::atomic<size_t> next{0};
    auto run = [&] {
        for (size_t k = next++; k < count; k = next++)
            work(k);
    };
    std::vector<std::thread> threads;
    for (unsigned t = 1; t < std::min<size_t>(readers, count); ++t)
        threads.emplace_back(run);
    run();
    for (std::thread &t : threads)
        t.join();
}

// Whole-file digests of groups of files of one size. In each group the
// first file is hashed while the others are compared with it byte for byte
// as they are read: copies share one SHA-256 and the processor's time goes
// to comparing, not hashing. A file that turns out different, or that could
// not be compared, is hashed on its own.
void digestGroups(const std::vector<FileItem> &items, const std::vector<std::vector<int>> &groups,
                  unsigned readers, Digests &out)
{
    onThreads(groups.size(), readers, [&](size_t g) {
        std::vector<int> fresh;
        {
            Remembered &cache = remembered();
            std::lock_guard guard(cache.lock);
            for (int i : groups[g]) {
                const FileItem &item = items[size_t(i)];
                const auto found = cache.entries.constFind(item.path());
                if (found != cache.entries.cend() && found->size == item.size() &&
                    found->modified == item.modified() && found->full)
                    out[size_t(i)] = found->full;
                else
                    fresh.push_back(i);
            }
        }
        for (size_t from = 0; from < fresh.size(); from += kGroupFiles) {
            const std::vector<int> part(fresh.begin() + qsizetype(from),
                                        fresh.begin() + qsizetype(std::min(fresh.size(), from + kGroupFiles)));
            std::vector<bool> same(part.size(), false);
            const std::optional<QString> digest = part.size() > 1 ? sameContent(items, part, same) : std::nullopt;
            for (size_t k = 0; k < part.size(); ++k) {
                const FileItem &item = items[size_t(part[k])];
                if (digest && same[k]) {
                    out[size_t(part[k])] = digest;
                    remember(item, Part::whole, *digest);
                } else {
                    out[size_t(part[k])] =
                        cachedDigest(item, Part::whole, 0, AT_FDCWD, item.path().constData(), nullptr);
                }
            }
        }
    });
}

// The path part of a group id: the path as text, or, for a name that is not
// valid UTF-8 and would not survive the round trip, its percent-encoded bytes,
// so two such groups never share an id.
QString idPath(const FileItem &item)
{
    const QString text = item.pathString();
    if (QFile::encodeName(text) == item.path())
        return text;
    return QString::fromLatin1(item.path().toPercentEncoding("/"));
}

DupGroup makeGroup(QList<FileItem> items, const QString &key, const QByteArray &downloads)
{
    std::stable_sort(items.begin(), items.end(), [&downloads](const FileItem &a, const FileItem &b) {
        return Duplicates::rank(a, downloads) < Duplicates::rank(b, downloads);
    });
    DupGroup g;
    g.id = QString::number(items.first().size()) + u'-' + key + u'-' + idPath(items.first());
    g.keep = items.first().path();
    g.items = std::move(items);
    return g;
}

struct Inode
{
    dev_t dev;
    ino_t ino;
    friend bool operator==(const Inode &, const Inode &) = default;
};

size_t qHash(const Inode &n, size_t seed = 0)
{
    return qHashMulti(seed, quint64(n.dev), quint64(n.ino));
}

} // namespace

QList<DupGroup> Duplicates::find(const QList<FileItem> &items, const QByteArray &downloads)
{
    // Candidates by size, sizes and members in input order.
    std::vector<FileItem> candidates;
    std::vector<std::vector<int>> bySize;
    QHash<qint64, size_t> sizeSlot;
    for (const FileItem &item : items) {
        if (item.kind() == Kind::app || item.size() < kMinSize || item.isCloudOnly())
            continue;
        const int index = int(candidates.size());
        candidates.push_back(item);
        const auto found = sizeSlot.constFind(item.size());
        if (found != sizeSlot.cend()) {
            bySize[*found].push_back(index);
        } else {
            sizeSlot.insert(item.size(), bySize.size());
            bySize.push_back({index});
        }
    }

    // Hard links are one file under several names: only the first name in input
    // order is a candidate, since trashing another would free nothing. A path
    // that is gone or no longer a plain file drops out here already.
    std::vector<ino_t> inodes(candidates.size(), 0);
    for (std::vector<int> &members : bySize) {
        if (members.size() < 2)
            continue;
        QHash<Inode, int> seen;
        std::vector<int> kept;
        for (int i : members) {
            const FileItem &item = candidates[size_t(i)];
            Inode node;
            if (item.hasIdentity()) {
                // The scan's own stat: a file gone or changed since then
                // drops out when it is read, against its size and date.
                node = Inode{dev_t(item.device()), ino_t(item.inode())};
            } else {
                struct stat st;
                if (::fstatat(AT_FDCWD, item.path().constData(), &st, AT_SYMLINK_NOFOLLOW) != 0 ||
                    !S_ISREG(st.st_mode))
                    continue;
                node = Inode{st.st_dev, st.st_ino};
            }
            if (seen.contains(node))
                continue;
            seen.insert(node, i);
            inodes[size_t(i)] = node.ino;
            kept.push_back(i);
        }
        members = kept.size() < 2 ? std::vector<int>{} : std::move(kept);
    }

    // Each stage reads further into the files the stage before could not
    // tell apart: the first 4 KiB of files longer than the head (most files of
    // one size differ there already), the head, the last 4 KiB of files over
    // a chunk (files that differ late, such as grown ones, differ there), then
    // the whole file. A stage's digest covers the whole of a file no longer
    // than its limit.
    struct Pending
    {
        std::vector<int> members;
        QString key; // the whole-file digest of files longer than the head, else empty
    };
    std::vector<Pending> pending;
    std::vector<std::vector<int>> open;
    // Whether any read so far waited for the disk: the whole files are then read by more threads.
    bool cold = false;
    const unsigned cores = std::clamp(std::thread::hardware_concurrency(), 1u, kColdReaders);
    std::vector<std::vector<int>> firstOpen;
    for (std::vector<int> &members : bySize) {
        if (members.size() < 2)
            continue;
        (candidates[size_t(members.front())].size() > kHeadBytes ? firstOpen : open).push_back(members);
    }
    auto byInode = [&](std::vector<int> &work) {
        // Read in inode order, which on most file systems is close to the order on disk.
        std::sort(work.begin(), work.end(), [&](int a, int b) { return inodes[size_t(a)] < inodes[size_t(b)]; });
    };
    {
        std::vector<int> work;
        for (const std::vector<int> &members : firstOpen)
            work.insert(work.end(), members.begin(), members.end());
        byInode(work);
        Digests firsts(candidates.size());
        cold = digestAll(candidates, work, Part::first, kFirstBytes, firsts);
        for (const std::vector<int> &members : firstOpen)
            for (auto &[digest, same] : groupBy(members, firsts))
                if (same.size() >= 2)
                    open.push_back(std::move(same));
    }
    for (const Part part : {Part::head, Part::tail, Part::screen, Part::whole}) {
        std::vector<int> work;
        std::vector<std::vector<int>> further;
        for (std::vector<int> &members : open) {
            const qint64 size = candidates[size_t(members.front())].size();
            // Small files are read whole at little more cost. Large ones of
            // one size, head and tail are mostly copies when two; among more
            // of them, a fast pass spares the SHA-256 of those that are not.
            if ((part == Part::tail && size <= kChunkBytes) ||
                (part == Part::screen && (size <= kChunkBytes || members.size() <= 2)))
                further.push_back(std::move(members));
            else
                work.insert(work.end(), members.begin(), members.end());
        }
        byInode(work);
        Digests digests(candidates.size());
        if (part == Part::whole)
            digestGroups(candidates, open, cold ? kColdReaders : cores, digests);
        else
            cold = digestAll(candidates, work, part, kHeadBytes, digests) || cold;
        for (const std::vector<int> &members : open) {
            if (members.empty())
                continue; // passed on above
            for (auto &[digest, same] : groupBy(members, digests)) {
                if (same.size() < 2)
                    continue;
                if (part == Part::whole)
                    pending.push_back({std::move(same), digest});
                else if (part == Part::head && candidates[size_t(same.front())].size() <= kHeadBytes)
                    pending.push_back({std::move(same), QString()});
                else
                    further.push_back(std::move(same));
            }
        }
        open = std::move(further);
    }
    // Groups of one size together, in the order the sizes came, then in the
    // order of their first files: the same whichever stage told them apart.
    std::sort(pending.begin(), pending.end(), [&](const Pending &a, const Pending &b) {
        const size_t sa = sizeSlot.value(candidates[size_t(a.members.front())].size());
        const size_t sb = sizeSlot.value(candidates[size_t(b.members.front())].size());
        return sa != sb ? sa < sb : a.members.front() < b.members.front();
    });

    // Groups in the order their sizes came; equal wasted bytes keep that order.
    auto itemsOf = [&](const std::vector<int> &members) {
        QList<FileItem> list;
        list.reserve(qsizetype(members.size()));
        for (int i : members)
            list.append(candidates[size_t(i)]);
        return list;
    };
    std::vector<std::pair<qint64, DupGroup>> groups;
    for (const Pending &p : pending) {
        DupGroup g = makeGroup(itemsOf(p.members), p.key, downloads);
        groups.emplace_back(g.wasted(), std::move(g));
    }

    // Most wasted first.
    std::stable_sort(groups.begin(), groups.end(),
                     [](const auto &a, const auto &b) { return a.first > b.first; });
    QList<DupGroup> out;
    out.reserve(qsizetype(groups.size()));
    for (auto &g : groups)
        out.append(std::move(g.second));
    return out;
}

namespace {

Millis modifiedOf(const struct stat &st)
{
    return Millis(st.st_mtim.tv_sec) * 1000 + Millis(st.st_mtim.tv_nsec) / 1000000;
}

bool sameVersion(const struct stat &a, const struct stat &b)
{
    return a.st_size == b.st_size && a.st_mtim.tv_sec == b.st_mtim.tv_sec && a.st_mtim.tv_nsec == b.st_mtim.tv_nsec;
}

// The digest of part of the file `name` in the open folder `dirfd` (or a
// path with AT_FDCWD): the first `limit` bytes, the last kFirstBytes, or all
// of it; with `expected`, only when the file is still the version the
// catalog saw. A file whose size or modification time moved while it was
// read gives none: its digest would be of no version of it that anyone can
// compare. `cold` is set when the first read had to wait for the disk.
std::optional<QString> hashFile(int dirfd, const char *name, Part part, qint64 limit, const FileItem *expected,
                                bool *cold)
{
    // Non-blocking so that a name that became a pipe since the scan cannot hang
    // the search; no-follow because the catalog never holds symbolic links.
    const int fd = NoAtime::openAt(dirfd, name, O_RDONLY | O_NOCTTY | O_NONBLOCK | O_NOFOLLOW);
    if (fd < 0)
        return std::nullopt;
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) ||
        (expected && (st.st_size != expected->size() || modifiedOf(st) != expected->modified()))) {
        ::close(fd);
        return std::nullopt;
    }
    g_filesRead.fetch_add(1, std::memory_order_relaxed);
    const qint64 size = st.st_size;
    qint64 from = 0;
    qint64 length = size;
    if (part == Part::tail) {
        from = std::max<qint64>(0, size - Duplicates::kFirstBytes);
        length = size - from;
    } else if (part == Part::first || part == Part::head) {
        length = std::min(limit, size);
    }

    thread_local std::unique_ptr<char[]> buffer(new char[size_t(Duplicates::kChunkBytes)]);
    Sha256 sha;
    size_t fast = 0x9e3779b97f4a7c15ull;
    qint64 total = 0;
    bool failed = false;
    // The first read only takes what the page cache holds; when it would
    // wait, read-ahead is set for what this read needs before the disk is asked.
    bool probe = true;
    while (total < length && !failed) {
        // Whole chunks only, whatever the reads return: the fast hash depends on where its input is cut.
        const size_t wanted = size_t(std::min(Duplicates::kChunkBytes, length - total));
        size_t filled = 0;
        while (filled < wanted) {
            char *into = buffer.get() + filled;
            const size_t room = wanted - filled;
            const off_t at = off_t(from + total + qint64(filled));
            ssize_t got;
            if (probe) {
                probe = false;
                iovec span{into, room};
                got = ::preadv2(fd, &span, 1, at, RWF_NOWAIT);
                if (got < 0 && (errno == EAGAIN || errno == EOPNOTSUPP)) {
                    if (errno == EAGAIN && cold)
                        *cold = true;
                    // A part of a longer file would otherwise pull in far more
                    // than the part ahead of time; most are never read further.
                    ::posix_fadvise(fd, 0, 0, length > Duplicates::kChunkBytes ? POSIX_FADV_SEQUENTIAL
                                              : length < size                   ? POSIX_FADV_RANDOM
                                                                                : POSIX_FADV_NORMAL);
                    continue;
                }
            } else {
                got = ::pread(fd, into, room, at);
            }
            if (got < 0 && errno == EINTR)
                continue;
            if (got <= 0) {
                failed = true; // an error, or the file ended before its size
                break;
            }
            filled += size_t(got);
        }
        if (failed)
            break;
        if (part == Part::screen)
            fast = qHashBits(buffer.get(), wanted, fast);
        else
            sha.add(buffer.get(), wanted);
        total += qint64(wanted);
    }
    struct stat after;
    if (!failed && (::fstat(fd, &after) != 0 || !sameVersion(st, after)))
        failed = true;
    ::close(fd);
    g_bytesRead.fetch_add(quint64(total), std::memory_order_relaxed);
    // A digest of part of a file would pass for the whole one and could match
    // another file's part: a failed read gives none.
    if (failed || total == 0)
        return std::nullopt;
    return part == Part::screen ? QString::number(fast, 16) : sha.hex();
}

void remember(const FileItem &item, Part part, const QString &digest)
{
    Remembered &cache = remembered();
    std::lock_guard guard(cache.lock);
    Entry &entry = cache.entries[item.path()];
    if (entry.size != item.size() || entry.modified != item.modified()) {
        entry = Entry();
        entry.size = item.size();
        entry.modified = item.modified();
    }
    entry.slot(part) = digest;
}

// Reads `members` (files of one size) side by side: the SHA-256 of the first
// and, in `same`, which of them hold exactly its bytes (the first included).
// None when the first cannot be read as the catalog saw it; a file that
// cannot be read, or moved while read, is not the same.
std::optional<QString> sameContent(const std::vector<FileItem> &items, const std::vector<int> &members,
                                   std::vector<bool> &same)
{
    struct Open
    {
        int fd = -1;
        struct stat st;
    };
    std::vector<Open> files(members.size());
    auto closeAll = [&] {
        for (Open &f : files)
            if (f.fd >= 0)
                ::close(f.fd);
    };
    for (size_t k = 0; k < members.size(); ++k) {
        const FileItem &item = items[size_t(members[k])];
        Open &f = files[k];
        f.fd = NoAtime::open(item.path().constData(), O_RDONLY | O_NOCTTY | O_NONBLOCK | O_NOFOLLOW);
        if (f.fd < 0)
            continue;
        if (::fstat(f.fd, &f.st) != 0 || !S_ISREG(f.st.st_mode) || f.st.st_size != item.size() ||
            modifiedOf(f.st) != item.modified()) {
            ::close(f.fd);
            f.fd = -1;
            continue;
        }
        ::posix_fadvise(f.fd, 0, 0, POSIX_FADV_SEQUENTIAL);
        same[k] = true;
    }
    if (files[0].fd < 0) {
        closeAll();
        return std::nullopt;
    }
    g_filesRead.fetch_add(quint64(std::count(same.begin(), same.end(), true)), std::memory_order_relaxed);

    thread_local std::unique_ptr<char[]> first(new char[size_t(Duplicates::kChunkBytes)]);
    thread_local std::unique_ptr<char[]> other(new char[size_t(Duplicates::kChunkBytes)]);
    // Whole chunks, whatever the reads return.
    auto fill = [](int fd, char *into, size_t wanted, qint64 at) {
        for (size_t filled = 0; filled < wanted;) {
            const ssize_t got = ::pread(fd, into + filled, wanted - filled, off_t(at + qint64(filled)));
            if (got < 0 && errno == EINTR)
                continue;
            if (got <= 0)
                return false;
            filled += size_t(got);
        }
        return true;
    };
    const qint64 size = files[0].st.st_size;
    Sha256 sha;
    quint64 bytes = 0;
    bool ok = true;
    for (qint64 at = 0; at < size && ok; at += Duplicates::kChunkBytes) {
        const size_t wanted = size_t(std::min(Duplicates::kChunkBytes, size - at));
        ok = fill(files[0].fd, first.get(), wanted, at);
        if (!ok)
            break;
        sha.add(first.get(), wanted);
        bytes += wanted;
        for (size_t k = 1; k < files.size(); ++k) {
            if (!same[k])
                continue;
            same[k] = fill(files[k].fd, other.get(), wanted, at) && std::memcmp(first.get(), other.get(), wanted) == 0;
            if (same[k])
                bytes += wanted;
        }
    }
    for (size_t k = 0; k < files.size(); ++k) {
        struct stat after;
        if (same[k] && (::fstat(files[k].fd, &after) != 0 || !sameVersion(files[k].st, after)))
            same[k] = false;
    }
    closeAll();
    g_bytesRead.fetch_add(bytes, std::memory_order_relaxed);
    if (!ok || !same[0] || size == 0)
        return std::nullopt;
    return sha.hex();
}

std::optional<QString> cachedDigest(const FileItem &item, Part part, qint64 limit, int dirfd, const char *name,
                                    bool *cold)
{
    Remembered &cache = remembered();
    Entry entry;
    {
        std::lock_guard guard(cache.lock);
        const auto found = cache.entries.constFind(item.path());
        if (found != cache.entries.cend())
            entry = *found;
    }
    if (entry.size != item.size() || entry.modified != item.modified()) {
        entry = Entry();
        entry.size = item.size();
        entry.modified = item.modified();
    }
    std::optional<QString> &slot = entry.slot(part);
    if (slot)
        return slot;
    std::optional<QString> fresh = hashFile(dirfd, name, part, limit, &item, cold);
    if (!fresh)
        return std::nullopt;
    slot = fresh;
    std::lock_guard guard(cache.lock);
    cache.entries.insert(item.path(), std::move(entry));
    return fresh;
}

} // namespace

std::optional<QString> Duplicates::hash(const QByteArray &path, std::optional<qint64> limit)
{
    return hashFile(AT_FDCWD, path.constData(), limit ? Part::head : Part::whole, limit.value_or(0), nullptr, nullptr);
}

std::optional<QString> Duplicates::digest(const FileItem &item, std::optional<qint64> limit)
{
    const Part part = !limit ? Part::whole : *limit == kFirstBytes ? Part::first : Part::head;
    return cachedDigest(item, part, limit.value_or(0), AT_FDCWD, item.path().constData(), nullptr);
}

QList<Duplicates::Bucket> Duplicates::bucket(const QList<FileItem> &items, std::optional<qint64> limit)
{
    Digests digests;
    digests.reserve(size_t(items.size()));
    std::vector<int> members;
    for (const FileItem &item : items) {
        members.push_back(int(digests.size()));
        digests.push_back(digest(item, limit));
    }
    QList<Bucket> out;
    for (const auto &[key, same] : groupBy(members, digests)) {
        Bucket b{key, {}};
        for (int i : same)
            b.items.append(items.at(i));
        out.append(std::move(b));
    }
    return out;
}

Duplicates::Rank Duplicates::rank(const FileItem &item, const QByteArray &downloads)
{
    return Rank{isInside(item.path(), downloads) ? 1 : 0, looksLikeCopy(item.name()) ? 1 : 0,
                item.created()};
}

bool Duplicates::looksLikeCopy(const QString &name)
{
    const qsizetype dot = name.lastIndexOf(u'.');
    const QString stem = (dot > 0 && dot < name.size() - 1 ? name.left(dot) : name).toLower();
    if (stem.endsWith(QLatin1String(" copy")))
        return true;
    // One per thread: searches may overlap, and \d takes every script's digits.
    thread_local const QRegularExpression copyTail(QStringLiteral(R"(( copy \d+|\(\d+\)|-\d)$)"),
                                                   QRegularExpression::UseUnicodePropertiesOption);
    return copyTail.match(stem).hasMatch();
}

Duplicates::Reads Duplicates::reads()
{
    return Reads{g_filesRead.load(std::memory_order_relaxed), g_bytesRead.load(std::memory_order_relaxed)};
}
