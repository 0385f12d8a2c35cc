#include "folderwatcher.h"

#include <QFile>
#include <QHash>
#include <QSocketNotifier>
#include <QThreadPool>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <string_view>
#include <dirent.h>
#include <fcntl.h>
#include <mutex>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr uint32_t kDirectoryEvents = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO |
                                      IN_CLOSE_WRITE | IN_MODIFY | IN_ATTRIB | IN_DELETE_SELF |
                                      IN_MOVE_SELF | IN_ONLYDIR | IN_EXCL_UNLINK;

// The most inotify watches one user may hold; the kernel's default when it cannot be read.
qsizetype systemLimit()
{
    QFile file(QStringLiteral("/proc/sys/fs/inotify/max_user_watches"));
    bool ok = false;
    qsizetype limit = 0;
    if (file.open(QIODevice::ReadOnly))
        limit = file.readAll().trimmed().toLongLong(&ok);
    return ok && limit > 0 ? limit : 8192;
}

// The watches this user's processes hold now, counted from their inotify
// descriptors; processes that cannot be looked into count as none.
qsizetype watchesInUse()
{
    qsizetype used = 0;
    const uid_t me = ::getuid();
    DIR *proc = ::opendir("/proc");
    if (!proc)
        return 0;
    while (const dirent *p = ::readdir(proc)) {
        if (p->d_name[0] < '0' || p->d_name[0] > '9')
            continue;
        const QByteArray pid = QByteArray("/proc/") + p->d_name;
        struct stat st;
        if (::stat(pid.constData(), &st) != 0 || st.st_uid != me)
            continue;
        const QByteArray fds = pid + "/fd";
        DIR *dir = ::opendir(fds.constData());
        if (!dir)
            continue;
        while (const dirent *f = ::readdir(dir)) {
            if (f->d_name[0] == '.')
                continue;
            char target[64];
            const QByteArray link = fds + '/' + f->d_name;
            const ssize_t n = ::readlink(link.constData(), target, sizeof target - 1);
            if (n <= 0 || std::string_view(target, size_t(n)) != "anon_inode:inotify")
                continue;
            QFile info(QFile::decodeName(pid + "/fdinfo/" + f->d_name));
            if (!info.open(QIODevice::ReadOnly))
                continue;
            used += info.readAll().count("inotify wd:");
        }
        ::closedir(dir);
    }
    ::closedir(proc);
    return used;
}

// Streams of this process that left folders unwatched.
std::atomic<int> g_shortStreams{0};

} // namespace

struct FolderWatcher::Stream
{
    int fd = -1;
    std::atomic<bool> cancelled{false};
    std::atomic<int> walksRunning{0};
    std::mutex lock;
    QHash<int, QByteArray> folders; // watch descriptor -> folder path
    bool full = false;              // the budget is spent or the kernel refused more watches
    qsizetype budget = 0;           // most watches this stream may hold

    ~Stream()
    {
        if (full)
            --g_shortStreams;
        if (fd >= 0)
            ::close(fd);
    }

    // Under `lock`.
    void markFull()
    {
        if (!full)
            ++g_shortStreams;
        full = true;
    }

    // Adds a watch for each root and every folder below them that the filter
    // lets through, shallowest first: when the budget runs out, what goes
    // unwatched is the deepest folders, not whole trees.
    void addTrees(const QList<QByteArray> &roots, const DirectoryFilter &filter)
    {
        QList<QByteArray> pending = roots;
        for (qsizetype next = 0; next < pending.size() && !cancelled.load(std::memory_order_relaxed);) {
            const QByteArray dir = std::move(pending[next++]);
            // Done folders let go of their memory as the walk goes.
            if (next > 4096) {
                pending.remove(0, next);
                next = 0;
            }
            if (!addOne(dir))
                return;
            DIR *d = ::opendir(dir.constData());
            if (!d)
                continue;
            while (dirent *e = ::readdir(d)) {
                if (e->d_type != DT_DIR && e->d_type != DT_UNKNOWN)
                    continue;
                const char *name = e->d_name;
                if (name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0)))
                    continue;
                if (filter && !filter(name))
                    continue;
                QByteArray child = dir;
                if (!child.endsWith('/'))
                    child += '/';
                child += name;
                if (e->d_type == DT_UNKNOWN) {
                    struct stat st;
                    if (::lstat(child.constData(), &st) != 0 || !S_ISDIR(st.st_mode))
                        continue;
                }
                pending.append(child);
            }
            ::closedir(d);
        }
    }

    // False once the kernel's limit is reached: nothing more will fit.
    bool addOne(const QByteArray &dir)
    {
        {
            std::lock_guard guard(lock);
            if (full)
                return false;
        }
        {
            std::lock_guard guard(lock);
            if (folders.size() >= budget) {
                markFull();
                return false;
            }
        }
        const int wd = ::inotify_add_watch(fd, dir.constData(), kDirectoryEvents);
        std::lock_guard guard(lock);
        if (wd >= 0) {
            folders.insert(wd, dir);
            return true;
        }
        if (errno == ENOSPC || errno == ENOMEM) {
            markFull();
            return false;
        }
        return true; // vanished or unreadable: skip it, go on with the rest
    }
};

FolderWatcher::FolderWatcher(DirectoryFilter filter, QObject *parent)
    : QObject(parent), m_filter(std::move(filter)), m_batch(new QTimer(this))
{
    m_batch->setSingleShot(true);
    m_batch->setInterval(kLatencyMs);
    connect(m_batch, &QTimer::timeout, this, [this] {
        if (m_foldersListener && !m_changedFolders.isEmpty())
            m_foldersListener(std::exchange(m_changedFolders, {}));
        if (m_onChange)
            m_onChange();
    });
}

FolderWatcher::~FolderWatcher()
{
    stop();
}

void FolderWatcher::watch(const QList<QByteArray> &folders, std::function<void()> onChange)
{
    if (folders == m_watching)
        return;
    stop();
    m_watching = folders;
    m_onChange = std::move(onChange);
    if (folders.isEmpty())
        return;

    auto stream = std::make_shared<Stream>();
    stream->fd = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (stream->fd < 0)
        return; // no stream: only explicit refreshes from now on
    m_stream = stream;
    m_notifier = new QSocketNotifier(stream->fd, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &FolderWatcher::readEvents);

    stream->walksRunning.fetch_add(1);
    QThreadPool::globalInstance()->start([stream, folders, filter = m_filter, limit = m_limit] {
        {
            const qsizetype budget = limit ? *limit : FolderWatcher::budget(systemLimit(), watchesInUse());
            std::lock_guard guard(stream->lock);
            stream->budget = budget;
        }
        stream->addTrees(folders, filter);
        stream->walksRunning.fetch_sub(1);
    });
}

qsizetype FolderWatcher::budget(qsizetype limit, qsizetype inUse)
{
    // Editors, file managers and build tools need watches too: half of what is free, at most.
    return std::max<qsizetype>(0, (limit - inUse) / 2);
}

void FolderWatcher::setWatchLimit(std::optional<qsizetype> limit)
{
    m_limit = limit;
}

bool FolderWatcher::someFoldersUnwatched()
{
    return g_shortStreams.load() > 0;
}

bool FolderWatcher::isComplete() const
{
    if (!m_stream)
        return true;
    std::lock_guard guard(m_stream->lock);
    return !m_stream->full;
}

void FolderWatcher::setFoldersListener(std::function<void(const QList<QByteArray> &)> listener)
{
    m_foldersListener = std::move(listener);
}

void FolderWatcher::stop()
{
    m_batch->stop();
    delete m_notifier;
    m_notifier = nullptr;
    if (m_stream)
        m_stream->cancelled = true;
    m_stream.reset();
    m_watching.clear();
}

int FolderWatcher::watchCount() const
{
    if (!m_stream)
        return 0;
    std::lock_guard guard(m_stream->lock);
    return int(m_stream->folders.size());
}

bool FolderWatcher::isSettled() const
{
    return !m_stream || m_stream->walksRunning.load() == 0;
}

void FolderWatcher::readEvents()
{
    if (!m_stream)
        return;
    const std::shared_ptr<Stream> stream = m_stream;
    alignas(inotify_event) char buffer[16384];
    bool changed = false;
    QList<QByteArray> newFolders;
    for (;;) {
        const ssize_t got = ::read(stream->fd, buffer, sizeof buffer);
        if (got <= 0)
            break;
        for (char *p = buffer; p < buffer + got;) {
            const auto *event = reinterpret_cast<const inotify_event *>(p);
            p += sizeof(inotify_event) + event->len;
            if (event->mask & IN_IGNORED) {
                std::lock_guard guard(stream->lock);
                stream->folders.remove(event->wd);
                continue;
            }
            changed = true;
            if (m_foldersListener) {
                std::lock_guard guard(stream->lock);
                const QByteArray folder = stream->folders.value(event->wd);
                if (!folder.isEmpty() && !m_changedFolders.contains(folder))
                    m_changedFolders.append(folder);
            }
            if ((event->mask & IN_ISDIR) && (event->mask & (IN_CREATE | IN_MOVED_TO)) &&
                event->len > 0) {
                const char *name = event->name;
                if (m_filter && !m_filter(name))
                    continue;
                std::lock_guard guard(stream->lock);
                const auto it = stream->folders.constFind(event->wd);
                if (it != stream->folders.cend()) {
                    QByteArray child = it.value();
                    if (!child.endsWith('/'))
                        child += '/';
                    newFolders.append(child + name);
                }
            }
        }
    }
    if (!newFolders.isEmpty()) {
        stream->walksRunning.fetch_add(1);
        QThreadPool::globalInstance()->start([stream, newFolders, filter = m_filter] {
            stream->addTrees(newFolders, filter);
            stream->walksRunning.fetch_sub(1);
        });
    }
    // The first change of a burst opens the batch; later ones ride along.
    if (changed && !m_batch->isActive())
        m_batch->start();
}
