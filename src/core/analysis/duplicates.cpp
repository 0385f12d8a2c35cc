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
#include <memory>
#include <mutex>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

// Reads are mostly waits on the disk: several in flight let a solid-state disk
// work on them together (on the duplicates benchmark's cold cache, 8 readers
// finish in about 0.4 of the time 2 take).
constexpr unsigned kReaders = 8;

struct Entry
{
    qint64 size = 0;
    Millis modified = 0;
    std::optional<QString> first;
    std::optional<QString> head;
    std::optional<QString> full;
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

// Fills `out[i]` with the digest of `items[i]` for every i of `work`, on a few
// threads, taking the work in the order given.
void digestAll(const std::vector<FileItem> &items, const std::vector<int> &work,
               std::optional<qint64> limit, Digests &out)
{
    std::atomic<size_t> next{0};
    auto run = [&] {
        for (size_t k = next++; k < work.size(); k = next++) {
            const int i = work[k];
            out[size_t(i)] = Duplicates::digest(items[size_t(i)], limit);
        }
    };
    const unsigned helpers = unsigned(std::min<size_t>(kReaders, work.size() / 2));
    std::vector<std::thread> threads;
    for (unsigned t = 1; t < helpers; ++t)
        threads.emplace_back(run);
    run();
    for (std::thread &t : threads)
        t.join();
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
            struct stat st;
            if (::fstatat(AT_FDCWD, candidates[size_t(i)].path().constData(), &st,
                          AT_SYMLINK_NOFOLLOW) != 0 ||
                !S_ISREG(st.st_mode))
                continue;
            const Inode node{st.st_dev, st.st_ino};
            if (seen.contains(node))
                continue;
            seen.insert(node, i);
            inodes[size_t(i)] = st.st_ino;
            kept.push_back(i);
        }
        members = kept.size() < 2 ? std::vector<int>{} : std::move(kept);
    }

    // Each stage reads further into the files the stage before could not
    // tell apart: the first 4 KiB of files longer than the head (most files of
    // one size differ there already), the head, then the whole file. A
    // stage's digest covers the whole of a file no longer than its limit.
    struct Pending
    {
        std::vector<int> members;
        QString key; // the whole-file digest of files longer than the head, else empty
    };
    std::vector<Pending> pending;
    std::vector<std::vector<int>> open;
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
        digestAll(candidates, work, kFirstBytes, firsts);
        for (const std::vector<int> &members : firstOpen)
            for (auto &[digest, same] : groupBy(members, firsts))
                if (same.size() >= 2)
                    open.push_back(std::move(same));
    }
    for (const std::optional<qint64> limit : {std::optional<qint64>(kHeadBytes), std::optional<qint64>()}) {
        std::vector<int> work;
        for (const std::vector<int> &members : open)
            work.insert(work.end(), members.begin(), members.end());
        byInode(work);
        Digests digests(candidates.size());
        digestAll(candidates, work, limit, digests);
        std::vector<std::vector<int>> further;
        for (const std::vector<int> &members : open) {
            for (auto &[digest, same] : groupBy(members, digests)) {
                if (same.size() < 2)
                    continue;
                if (!limit)
                    pending.push_back({std::move(same), digest});
                else if (candidates[size_t(same.front())].size() <= *limit)
                    pending.push_back({std::move(same), QString()});
                else
                    further.push_back(std::move(same));
            }
        }
        open = std::move(further);
    }
    // Groups of one size together, in the order the sizes came.
    std::stable_sort(pending.begin(), pending.end(), [&](const Pending &a, const Pending &b) {
        return sizeSlot.value(candidates[size_t(a.members.front())].size()) <
               sizeSlot.value(candidates[size_t(b.members.front())].size());
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

// The digest of the first `limit` bytes (or all) of the file; with
// `expected`, only when the file is still the version the catalog saw. A
// file whose size or modification time moved while it was read gives none:
// its digest would be of no version of it that anyone can compare.
std::optional<QString> hashFile(const QByteArray &path, std::optional<qint64> limit, const FileItem *expected)
{
    // Non-blocking so that a name that became a pipe since the scan cannot hang
    // the search; no-follow because the catalog never holds symbolic links.
    const int fd = NoAtime::open(path.constData(), O_RDONLY | O_NOCTTY | O_NONBLOCK | O_NOFOLLOW);
    if (fd < 0)
        return std::nullopt;
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) ||
        (expected && (st.st_size != expected->size() || modifiedOf(st) != expected->modified()))) {
        ::close(fd);
        return std::nullopt;
    }
    g_filesRead.fetch_add(1, std::memory_order_relaxed);
    // A head read of a longer file would otherwise pull in far more than the
    // head ahead of time; most such files are never read further.
    if (!limit || *limit > Duplicates::kChunkBytes)
        ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
    else if (st.st_size > *limit)
        ::posix_fadvise(fd, 0, 0, POSIX_FADV_RANDOM);

    thread_local std::unique_ptr<char[]> buffer(new char[size_t(Duplicates::kChunkBytes)]);
    Sha256 sha;
    qint64 total = 0;
    bool failed = false;
    for (;;) {
        const qint64 wanted = limit ? std::min(Duplicates::kChunkBytes, *limit - total) : Duplicates::kChunkBytes;
        if (wanted <= 0)
            break;
        const ssize_t got = ::read(fd, buffer.get(), size_t(wanted));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            failed = true;
            break;
        }
        if (got == 0)
            break;
        sha.add(buffer.get(), size_t(got));
        total += got;
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
    return sha.hex();
}

} // namespace

std::optional<QString> Duplicates::hash(const QByteArray &path, std::optional<qint64> limit)
{
    return hashFile(path, limit, nullptr);
}

std::optional<QString> Duplicates::digest(const FileItem &item, std::optional<qint64> limit)
{
    Remembered &cache = remembered();
    Entry entry;
    {
        std::lock_guard guard(cache.lock);
        const auto found = cache.entries.constFind(item.path());
        if (found != cache.entries.cend())
            entry = *found;
    }
    if (entry.size != item.size() || entry.modified != item.modified())
        entry = Entry{item.size(), item.modified(), std::nullopt, std::nullopt};
    std::optional<QString> &slot = !limit ? entry.full : *limit == kFirstBytes ? entry.first : entry.head;
    if (slot)
        return slot;
    std::optional<QString> fresh = hashFile(item.path(), limit, &item);
    if (!fresh)
        return std::nullopt;
    slot = fresh;
    std::lock_guard guard(cache.lock);
    cache.entries.insert(item.path(), std::move(entry));
    return fresh;
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
