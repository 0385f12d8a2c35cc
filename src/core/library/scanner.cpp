#include "scanner.h"

#include "disk/diskrules.h"
#include "disk/filedates.h"
#include "model/sourcenamer.h"
#include "noatime.h"
#include "xattr.h"

#include <QSet>

#include <algorithm>
#include <condition_variable>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <thread>
#include <unistd.h>
#include <unordered_map>
#include <variant>
#include <vector>

namespace {

constexpr long kListingBytes = 64 * 1024;

constexpr unsigned kStatMask = STATX_TYPE | STATX_MODE | STATX_INO | STATX_SIZE | STATX_MTIME |
                               STATX_CTIME | STATX_BTIME | STATX_BLOCKS | STATX_ATIME;

// What the walk needs to know about one extension, worked out once per thread.
struct ExtInfo
{
    quint16 id = StringPool::kNone;
    QString lower;
    Kind kind = Kind::other;
    bool package = false;
    bool skipPackage = false;
};

class ExtCache
{
public:
    const ExtInfo &get(const char *name, size_t nameLength)
    {
        const char *dot = static_cast<const char *>(memrchr(name, '.', nameLength));
        std::string_view raw;
        if (dot && dot != name && dot != name + nameLength - 1)
            raw = std::string_view(dot + 1, size_t(name + nameLength - dot - 1));
        // Looked up by view: most names bring an extension seen before, and then no allocation.
        const auto it = m_cache.find(raw);
        if (it != m_cache.end())
            return it->second;
        ExtInfo info;
        info.lower = QString::fromUtf8(raw.data(), qsizetype(raw.size())).toLower();
        info.id = StringPool::intern(info.lower);
        info.kind = Kinds::of(info.lower);
        info.package = DiskRules::isPackageExtension(info.lower);
        info.skipPackage = DiskRules::isLibraryPackage(info.lower);
        return m_cache.emplace(std::string(raw), std::move(info)).first->second;
    }

private:
    struct Hash
    {
        using is_transparent = void;
        size_t operator()(std::string_view s) const { return std::hash<std::string_view>()(s); }
    };
    std::unordered_map<std::string, ExtInfo, Hash, std::equal_to<>> m_cache;
};

QByteArray childPath(const QByteArray &dir, const char *name, size_t length)
{
    QByteArray p;
    p.reserve(dir.size() + qsizetype(length) + 1);
    p += dir;
    if (!dir.endsWith('/'))
        p += '/';
    p.append(name, qsizetype(length));
    return p;
}

FileItem::Fields baseFields(QByteArray path, const ExtInfo &ext, const struct statx &st)
{
    FileItem::Fields f;
    f.path = std::move(path);
    f.ext = ext.lower;
    f.extId = ext.id;
    f.kind = ext.kind;
    const FileDates d = FileDates::of(st);
    f.modified = d.modified;
    f.created = d.created;
    f.added = d.added;
    f.inode = st.stx_ino;
    f.device = FileItem::deviceOf(st.stx_dev_major, st.stx_dev_minor);
    f.sourceId = StringPool::kNone;
    return f;
}

// Linux keeps no launch record: an access after the last change is the last use
// (relatime moves it at most daily, and Tovalo's own reads never move it).
std::optional<Millis> lastUsedOf(const struct statx &st)
{
    if (!(st.stx_mask & STATX_ATIME) || !(st.stx_mask & STATX_MTIME))
        return std::nullopt;
    const Millis used = FileDates::millis(st.stx_atime);
    return used > FileDates::millis(st.stx_mtime) ? std::optional(used) : std::nullopt;
}

FileItem appRecord(QByteArray path, const ExtInfo &ext, const struct statx &st)
{
    FileItem::Fields f = baseFields(std::move(path), ext, st);
    f.kind = Kind::app;
    f.size = 0; // measured later, off the scan
    f.lastUsed = lastUsedOf(st);
    return FileItem(f);
}

// `dirfd` is the open folder holding `name`, or AT_FDCWD when there is none.
FileItem fileRecord(QByteArray path, const char *name, const ExtInfo &ext, const struct statx &st,
                    qint64 size, int dirfd)
{
    FileItem::Fields f = baseFields(std::move(path), ext, st);
    f.size = size;
    if (f.kind == Kind::app) // an AppImage: one file, sized as it is
        f.lastUsed = lastUsedOf(st);
    if (f.kind == Kind::image) {
        // No capture marker exists on Linux: the tools' names are the only sign.
        f.isScreenshot = DiskRules::hasScreenshotName(QString::fromUtf8(name).toLower());
    }
    const QStringList froms =
        dirfd == AT_FDCWD ? Xattr::whereFroms(f.path) : Xattr::whereFromsAt(dirfd, name, f.path);
    if (!froms.isEmpty()) {
        if (const auto source = SourceNamer::name(froms))
            f.sourceId = StringPool::intern(*source);
    }
    return FileItem(f);
}

bool statEntry(int dirfd, const char *name, struct statx &st)
{
    return ::statx(dirfd, name, AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT, kStatMask, &st) == 0;
}

// One folder's output: its records and entered subfolders, in entry order.
struct Node
{
    std::vector<std::variant<FileItem, std::unique_ptr<Node>>> entries;
};

struct Task
{
    QByteArray path;
    int level; // level of the folder's entries below the tree's root
    bool appsOnly;
    Node *node;
};

// Reads folders on several threads; each folder's output lands in its own
// node, so the flattened result does not depend on which thread read what.
class ParallelWalk
{
public:
    void add(Task t)
    {
        std::lock_guard guard(m_lock);
        m_tasks.push_back(std::move(t));
        ++m_outstanding;
        m_wake.notify_one();
    }

    void run()
    {
        const unsigned helpers = std::clamp(std::thread::hardware_concurrency(), 1u, 8u) - 1;
        std::vector<std::thread> threads;
        for (unsigned i = 0; i < helpers; ++i)
            threads.emplace_back([this] { work(); });
        work();
        for (auto &t : threads)
            t.join();
    }

private:
    void work()
    {
        ExtCache exts;
        for (;;) {
            Task task;
            {
                std::unique_lock guard(m_lock);
                m_wake.wait(guard, [this] { return !m_tasks.empty() || m_outstanding == 0; });
                if (m_tasks.empty())
                    return;
                task = std::move(m_tasks.back());
                m_tasks.pop_back();
            }
            readFolder(task, exts);
            std::lock_guard guard(m_lock);
            if (--m_outstanding == 0)
                m_wake.notify_all();
        }
    }

    void readFolder(const Task &task, ExtCache &exts);

    std::mutex m_lock;
    std::condition_variable m_wake;
    std::vector<Task> m_tasks;
    int m_outstanding = 0;
};

// One folder's entries: names packed into one buffer, each with its type
// from the directory listing (DT_UNKNOWN where the file system gives none).
struct Listing
{
    struct Entry
    {
        quint32 offset;
        quint32 length;
        unsigned char type;
    };
    std::string names;
    std::vector<Entry> entries;

    const char *name(const Entry &e) const { return names.data() + e.offset; }
    std::string_view view(const Entry &e) const { return {name(e), e.length}; }
};

// Reads the open folder `fd` straight with getdents64, which spares the
// descriptor flag calls and buffer of a DIR stream. False on a read error.
bool list(int fd, Listing &out)
{
    struct LinuxDirent64
    {
        ino64_t d_ino;
        off64_t d_off;
        unsigned short d_reclen;
        unsigned char d_type;
        char d_name[1];
    };
    thread_local std::unique_ptr<char[]> buffer(new char[kListingBytes]);
    for (;;) {
        const long got = ::syscall(SYS_getdents64, fd, buffer.get(), kListingBytes);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return false;
        if (got == 0)
            return true;
        for (long at = 0; at < got;) {
            const auto *e = reinterpret_cast<const LinuxDirent64 *>(buffer.get() + at);
            at += e->d_reclen;
            if (e->d_name[0] == '.')
                continue; // hidden, and "." and ".."
            const size_t length = std::strlen(e->d_name);
            out.entries.push_back({quint32(out.names.size()), quint32(length), e->d_type});
            out.names.append(e->d_name, length + 1); // with its terminating zero, for the calls that take one
        }
    }
}

void ParallelWalk::readFolder(const Task &task, ExtCache &exts)
{
    const int fd = ::open(task.path.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return; // unreadable: passed over
    // One per thread, emptied for each folder: its buffers keep their room.
    thread_local Listing listing;
    listing.names.clear();
    listing.entries.clear();
    if (!list(fd, listing)) {
        ::close(fd);
        return;
    }
    std::sort(listing.entries.begin(), listing.entries.end(),
              [](const Listing::Entry &a, const Listing::Entry &b) {
                  return listing.view(a) < listing.view(b);
              });

    std::vector<Task> children;
    Node &node = *task.node;
    node.entries.reserve(listing.entries.size());
    for (const Listing::Entry &entry : listing.entries) {
        const char *name = listing.name(entry);
        const size_t length = entry.length;
        // The listing's type spares a stat for what the walk never records
        // (links, devices) and for plain folders; packages need their dates.
        if (entry.type != DT_UNKNOWN && entry.type != DT_REG && entry.type != DT_DIR)
            continue;
        const ExtInfo &ext = exts.get(name, length);
        if (entry.type == DT_DIR && !ext.package) {
            if (!DiskRules::entersFolder(name))
                continue;
            if (task.appsOnly && task.level > 1)
                continue; // application folders are read two levels deep
            auto child = std::make_unique<Node>();
            children.push_back(Task{childPath(task.path, name, length), task.level + 1, task.appsOnly, child.get()});
            node.entries.emplace_back(std::move(child));
            continue;
        }
        if (entry.type == DT_REG && task.appsOnly && ext.kind != Kind::app)
            continue;
        struct statx st;
        if (!statEntry(fd, name, st))
            continue;
        if (S_ISDIR(st.stx_mode)) {
            if (ext.package) {
                if (ext.lower == u"app") {
                    node.entries.emplace_back(appRecord(childPath(task.path, name, length), ext, st));
                } else if (!task.appsOnly && !ext.skipPackage && ext.kind != Kind::other) {
                    QByteArray path = childPath(task.path, name, length);
                    const qint64 size = Scanner::folderSize(path);
                    node.entries.emplace_back(fileRecord(std::move(path), name, ext, st, size, fd));
                }
                continue;
            }
            if (!DiskRules::entersFolder(name))
                continue;
            if (task.appsOnly && task.level > 1)
                continue;
            auto child = std::make_unique<Node>();
            children.push_back(Task{childPath(task.path, name, length), task.level + 1, task.appsOnly, child.get()});
            node.entries.emplace_back(std::move(child));
            continue;
        }
        if (!S_ISREG(st.stx_mode) || (task.appsOnly && ext.kind != Kind::app))
            continue;
        node.entries.emplace_back(
            fileRecord(childPath(task.path, name, length), name, ext, st, qint64(st.stx_size), fd));
    }
    ::close(fd);
    // Pushed in reverse so the stack hands out the first folder first, keeping the walk near depth-first.
    for (auto it = children.rbegin(); it != children.rend(); ++it)
        add(std::move(*it));
}

size_t countRecords(const Node &node)
{
    size_t n = 0;
    for (const auto &e : node.entries)
        n += std::holds_alternative<FileItem>(e) ? 1 : countRecords(*std::get<1>(e));
    return n;
}

class Flattener
{
public:
    Flattener(QList<FileItem> &out, bool dedupe) : m_out(out), m_dedupe(dedupe) {}

    void append(Node &node)
    {
        for (auto &e : node.entries) {
            if (auto *item = std::get_if<FileItem>(&e)) {
                if (!m_dedupe || !m_seen.contains(item->path())) {
                    if (m_dedupe)
                        m_seen.insert(item->path());
                    m_out.append(std::move(*item));
                }
            } else {
                append(*std::get<1>(e));
            }
        }
    }

private:
    QList<FileItem> &m_out;
    bool m_dedupe;
    QSet<QByteArray> m_seen;
};

bool within(const QByteArray &inner, const QByteArray &outer)
{
    if (inner == outer)
        return true;
    if (outer == "/")
        return inner.startsWith('/');
    return inner.size() > outer.size() && inner.startsWith(outer) && inner.at(outer.size()) == '/';
}

} // namespace

QList<FileItem> Scanner::scan(const QList<QByteArray> &roots, const QList<QByteArray> &appDirs)
{
    struct Tree
    {
        QByteArray path;
        bool appsOnly;
        Node node;
    };
    std::vector<Tree> trees;
    for (const QByteArray &r : roots)
        trees.push_back(Tree{DiskRules::normalised(r), false, {}});
    for (const QByteArray &a : appDirs)
        trees.push_back(Tree{DiskRules::normalised(a), true, {}});

    // Paths can only repeat when one tree lies inside another; only then is a seen-set worth its cost.
    bool overlap = false;
    for (size_t i = 0; i < trees.size() && !overlap; ++i)
        for (size_t j = 0; j < trees.size() && !overlap; ++j)
            overlap = i != j && within(trees[i].path, trees[j].path);

    ParallelWalk walk;
    for (auto it = trees.rbegin(); it != trees.rend(); ++it)
        walk.add(Task{it->path, 1, it->appsOnly, &it->node});
    walk.run();

    size_t total = 0;
    for (const Tree &t : trees)
        total += countRecords(t.node);
    QList<FileItem> out;
    out.reserve(qsizetype(total));
    Flattener flat(out, overlap);
    for (Tree &t : trees)
        flat.append(t.node);
    return out;
}

std::optional<FileItem> Scanner::item(const QByteArray &rawPath)
{
    const QByteArray path = DiskRules::normalised(rawPath);
    struct statx st;
    if (::statx(AT_FDCWD, path.constData(), AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT, kStatMask, &st) != 0)
        return std::nullopt;
    const qsizetype slash = path.lastIndexOf('/');
    const QByteArray name = path.mid(slash + 1);
    if (name.isEmpty())
        return std::nullopt;
    ExtCache exts;
    const ExtInfo &ext = exts.get(name.constData(), size_t(name.size()));
    if (S_ISDIR(st.stx_mode)) {
        if (!ext.package || ext.skipPackage)
            return std::nullopt;
        if (ext.lower == u"app")
            return appRecord(path, ext, st);
        if (ext.kind == Kind::other)
            return std::nullopt;
        return fileRecord(path, name.constData(), ext, st, folderSize(path), AT_FDCWD);
    }
    if (!S_ISREG(st.stx_mode))
        return std::nullopt;
    return fileRecord(path, name.constData(), ext, st, qint64(st.stx_size), AT_FDCWD);
}

qint64 Scanner::folderSize(const QByteArray &path)
{
    qint64 total = 0;
    std::vector<QByteArray> pending{DiskRules::normalised(path)};
    while (!pending.empty()) {
        const QByteArray dirPath = std::move(pending.back());
        pending.pop_back();
        // Reading a bundle must not make it look opened: its access time is its last use.
        const int fd = NoAtime::open(dirPath.constData(), O_RDONLY | O_DIRECTORY);
        if (fd < 0)
            continue;
        DIR *dir = ::fdopendir(fd);
        if (!dir) {
            ::close(fd);
            continue;
        }
        while (dirent *e = ::readdir(dir)) {
            const char *n = e->d_name;
            if (n[0] == '.' && (n[1] == 0 || (n[1] == '.' && n[2] == 0)))
                continue;
            struct statx st;
            if (::statx(fd, n, AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT, STATX_TYPE | STATX_BLOCKS, &st) != 0)
                continue;
            if (S_ISREG(st.stx_mode))
                total += qint64(st.stx_blocks) * 512;
            else if (S_ISDIR(st.stx_mode))
                pending.push_back(childPath(dirPath, n, std::strlen(n)));
        }
        ::closedir(dir);
    }
    return total;
}
