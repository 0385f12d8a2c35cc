#include "folderwatcher.h"

#include <QHash>
#include <QSocketNotifier>
#include <QThreadPool>
#include <QTimer>

#include <atomic>
#include <cerrno>
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

} // namespace

struct FolderWatcher::Stream
{
    int fd = -1;
    std::atomic<bool> cancelled{false};
    std::atomic<int> walksRunning{0};
    std::mutex lock;
    QHash<int, QByteArray> folders; // watch descriptor -> folder path
    bool full = false;              // the kernel refused more watches

    ~Stream()
    {
        if (fd >= 0)
            ::close(fd);
    }

    // Adds a watch for `root` and every folder below it that the filter lets through.
    void addTree(const QByteArray &root, const DirectoryFilter &filter)
    {
        QList<QByteArray> pending{root};
        while (!pending.isEmpty() && !cancelled.load(std::memory_order_relaxed)) {
            const QByteArray dir = pending.takeLast();
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
        const int wd = ::inotify_add_watch(fd, dir.constData(), kDirectoryEvents);
        std::lock_guard guard(lock);
        if (wd >= 0) {
            folders.insert(wd, dir);
            return true;
        }
        if (errno == ENOSPC || errno == ENOMEM) {
            full = true;
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
    QThreadPool::globalInstance()->start([stream, folders, filter = m_filter] {
        for (const QByteArray &root : folders)
            stream->addTree(root, filter);
        stream->walksRunning.fetch_sub(1);
    });
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
            for (const QByteArray &dir : newFolders)
                stream->addTree(dir, filter);
            stream->walksRunning.fetch_sub(1);
        });
    }
    // The first change of a burst opens the batch; later ones ride along.
    if (changed && !m_batch->isActive())
        m_batch->start();
}
