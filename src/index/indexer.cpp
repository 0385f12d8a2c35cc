#include "indexer.h"

#include "disk/diskrules.h"
#include "disk/filedates.h"
#include "extractclient.h"
#include "filerecords.h"
#include "indexlog.h"
#include "indexstore.h"
#include "inprocessextractor.h"

#include <QDateTime>
#include <QFile>
#include <QHash>
#include <QSet>

#include <algorithm>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sched.h>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kReportGapMs = 250;

qint64 nowMs()
{
    return QDateTime::currentMSecsSinceEpoch();
}

// Idle scheduling class, lowest nice value and idle I/O class for the calling thread only.
void beIdle()
{
    sched_param param{};
    ::sched_setscheduler(0, SCHED_IDLE, &param);
    const pid_t tid = pid_t(::syscall(SYS_gettid));
    ::setpriority(PRIO_PROCESS, id_t(tid), 19);
    constexpr int kClassIdle = 3, kClassShift = 13, kWhoProcess = 1;
    ::syscall(SYS_ioprio_set, kWhoProcess, tid, kClassIdle << kClassShift);
}

quint64 hashPath(const char *data, size_t size)
{
    // FNV-1a, 64 bits: a collision among a home folder's paths is not to be expected.
    quint64 h = 1469598103934665603ull;
    for (size_t i = 0; i < size; ++i) {
        h ^= quint8(data[i]);
        h *= 1099511628211ull;
    }
    return h;
}

quint64 signature(qint64 size, qint64 modified, qint64 changed)
{
    quint64 h = quint64(size) * 0x9E3779B97F4A7C15ull;
    h ^= quint64(modified) + 0x632BE59BD9B4E019ull + (h << 6) + (h >> 2);
    h ^= quint64(changed) + 0x8CB92BA72F3D8DD7ull + (h << 6) + (h >> 2);
    return h;
}

QByteArray child(const QByteArray &dir, const char *name)
{
    QByteArray p = dir;
    if (!p.endsWith('/'))
        p += '/';
    p += name;
    return p;
}

} // namespace

// What a pass knows of the index before it walks: compact, so a million rows fit in a few tens of megabytes.
struct Indexer::Pass
{
    struct Known
    {
        quint64 hash;
        quint64 sig;
        qint64 id;
    };
    std::vector<Known> known; // sorted by hash
    std::vector<bool> seen;
    std::string changed;      // paths to read, each ended by a NUL byte
    std::vector<char> hadRow; // per changed path
    qint64 found = 0;         // entries the walk met
    qint64 unchanged = 0;     // of those, the ones whose row is up to date

    const Known *find(quint64 hash) const
    {
        const auto it = std::lower_bound(known.begin(), known.end(), hash,
                                         [](const Known &k, quint64 h) { return k.hash < h; });
        return it != known.end() && it->hash == hash ? &*it : nullptr;
    }
};

Indexer::Indexer(QString file, QList<QByteArray> roots, QStringList helper)
    : m_file(std::move(file)), m_helper(std::move(helper))
{
    for (const QByteArray &r : roots)
        m_roots.append(DiskRules::normalised(r));
}

Indexer::~Indexer()
{
    stop();
}

void Indexer::setProgress(ProgressFn progress)
{
    std::lock_guard guard(m_lock);
    m_progress = std::move(progress);
}

void Indexer::start()
{
    std::lock_guard guard(m_lock);
    if (m_thread.joinable())
        return;
    m_stop = false;
    m_stopFlag = false;
    m_passWanted = true;
    m_thread = std::thread([this] { loop(); });
}

void Indexer::requestPass(bool rebuild)
{
    std::lock_guard guard(m_lock);
    m_passWanted = true;
    m_rebuildWanted = m_rebuildWanted || rebuild;
    m_wake.notify_all();
}

void Indexer::foldersChanged(const QList<QByteArray> &folders)
{
    std::lock_guard guard(m_lock);
    for (const QByteArray &f : folders)
        if (!m_changedFolders.contains(f))
            m_changedFolders.append(DiskRules::normalised(f));
    m_wake.notify_all();
}

void Indexer::setPaused(bool paused)
{
    std::lock_guard guard(m_lock);
    m_paused = paused;
    m_wake.notify_all();
}

void Indexer::stop()
{
    {
        std::lock_guard guard(m_lock);
        m_stop = true;
        m_stopFlag = true;
        m_wake.notify_all();
    }
    if (m_thread.joinable())
        m_thread.join();
}

IndexStatus Indexer::status() const
{
    std::lock_guard guard(m_lock);
    return m_status;
}

QList<QByteArray> Indexer::takeFolders()
{
    std::lock_guard guard(m_lock);
    return std::exchange(m_changedFolders, {});
}

bool Indexer::openStore(QString *error)
{
    if (m_store && !m_store->isDamaged())
        return true;
    m_store.reset();
    m_store = IndexStore::open(m_file, error);
    if (!m_store)
        return false;
    if (!m_extract)
        m_extract = std::make_unique<ExtractClient>(m_helper);
    std::lock_guard guard(m_lock);
    m_status.files = m_store->rowCount();
    const QVariant last = m_store->meta(QStringLiteral("last_pass"));
    if (last.isValid())
        m_status.lastPass = last.toLongLong();
    const QVariant full = m_store->meta(QStringLiteral("last_full_pass"));
    if (full.isValid())
        m_status.lastFullPass = full.toLongLong();
    return true;
}

bool Indexer::runPass(bool rebuild, QString *error)
{
    if (!openStore(error))
        return false;
    pass(rebuild);
    return true;
}

void Indexer::loop()
{
    beIdle();
    std::unique_lock guard(m_lock);
    while (!m_stop) {
        const bool wantPass = m_passWanted;
        const bool rebuild = m_rebuildWanted;
        const bool folders = !m_changedFolders.isEmpty();
        if ((wantPass || folders) && !m_paused) {
            m_passWanted = m_rebuildWanted = false;
            guard.unlock();
            QString why;
            if (openStore(&why)) {
                if (wantPass)
                    pass(rebuild);
                refreshFolders(takeFolders());
                if (m_store->isDamaged()) {
                    // Opening again moves the damaged file aside; a full pass fills the new one.
                    qCWarning(lcIndex).noquote() << QStringLiteral("Tovalo: the index reported damage: %1")
                                                        .arg(m_store->lastError());
                    std::lock_guard again(m_lock);
                    m_passWanted = true;
                }
            } else {
                qCWarning(lcIndex).noquote() << QStringLiteral("Tovalo: no index: %1").arg(why);
                guard.lock();
                m_wake.wait_for(guard, std::chrono::milliseconds(kPassIntervalMs));
                continue;
            }
            guard.lock();
            continue;
        }
        if (m_paused) {
            m_status.state = IndexStatus::State::paused;
            guard.unlock();
            report(true);
            guard.lock();
            m_wake.wait(guard, [this] { return m_stop || !m_paused; });
            continue;
        }
        if (m_wake.wait_for(guard, std::chrono::milliseconds(kPassIntervalMs)) == std::cv_status::timeout)
            m_passWanted = true;
    }
    guard.unlock();
    if (m_store && m_inBatch > 0)
        m_store->commit();
    m_inBatch = 0;
    m_store.reset();
    m_extract.reset();
}

bool Indexer::waitWhilePaused()
{
    std::unique_lock guard(m_lock);
    if (!m_paused || m_stop)
        return !m_stop;
    guard.unlock();
    if (m_inBatch > 0) {
        m_store->commit();
        m_inBatch = 0;
    }
    guard.lock();
    m_status.state = IndexStatus::State::paused;
    guard.unlock();
    report(true);
    guard.lock();
    m_wake.wait(guard, [this] { return m_stop || !m_paused; });
    m_status.state = IndexStatus::State::indexing;
    return !m_stop;
}

void Indexer::batchStep()
{
    if (m_inBatch == 0)
        m_store->begin();
    if (++m_inBatch >= kBatchFiles) {
        m_store->commit();
        m_inBatch = 0;
    }
}

void Indexer::report(bool force)
{
    const qint64 now = nowMs();
    if (!force && now - m_lastReport < kReportGapMs)
        return;
    m_lastReport = now;
    IndexStatus s;
    ProgressFn progress;
    {
        std::lock_guard guard(m_lock);
        s = m_status;
        progress = m_progress;
    }
    if (m_store) {
        // The meta rows ride in the open batch, or make a small one of their own.
        s.write(*m_store);
    }
    if (progress)
        progress(s);
}

void Indexer::index(const QByteArray &path, bool hadRow)
{
    std::optional<IndexRecord> record = FileRecords::read(path);
    if (!record) {
        if (hadRow)
            m_store->removeTree(path);
        return;
    }
    const TextFamily family = FileRecords::familyOf(*record);
    std::optional<QString> text;
    if (family != TextFamily::none) {
        const QString ext = FileRecords::lowerExtension(record->name);
        ExtractResult result;
        bool ran = true;
        if (TextFamilies::isRisky(family)) {
            const ExtractClient::Outcome outcome = m_extract->extract(path, family, ext);
            ran = outcome.status != ExtractClient::Status::unavailable;
            result = outcome.result;
            if (outcome.status == ExtractClient::Status::failed)
                result.ok = false;
        } else {
            result = InProcessExtractor::extract(path, family);
        }
        if (ran) {
            record->textState = result.ok ? IndexRecord::TextState::extracted : IndexRecord::TextState::failed;
            record->cameraMake = result.cameraMake.isEmpty() ? QString() : result.cameraMake;
            record->cameraModel = result.cameraModel.isEmpty() ? QString() : result.cameraModel;
            if (family != TextFamily::camera)
                text = result.text;
        }
    }
    m_store->put(*record, text, hadRow);
    batchStep();
}

void Indexer::pass(bool rebuild)
{
    const qint64 started = nowMs();
    const bool full = beginPass(rebuild);
    Pass p;
    loadStamps(p);
    walk(p);
    removeGone(p);
    readChanged(p);
    finishPass(p, full, started);
}

bool Indexer::beginPass(bool rebuild)
{
    if (rebuild)
        m_store->clear();
    {
        std::lock_guard guard(m_lock);
        m_status.state = IndexStatus::State::indexing;
        m_status.done = m_status.found = 0;
    }
    const bool full = rebuild || !m_store->meta(QStringLiteral("last_full_pass")).isValid();
    report(true);
    return full;
}

void Indexer::loadStamps(Pass &p)
{
    m_store->forEachStamp([&p](const QByteArray &path, const IndexStamp &s) {
        p.known.push_back({hashPath(path.constData(), size_t(path.size())), signature(s.size, s.modified, s.changed),
                           s.id});
    });
    std::sort(p.known.begin(), p.known.end(), [](const Pass::Known &a, const Pass::Known &b) { return a.hash < b.hash; });
    p.seen.assign(p.known.size(), false);
}

// Stat-only walk: nothing is opened but folders.
void Indexer::walk(Pass &p)
{
    std::vector<QByteArray> pending;
    for (auto it = m_roots.rbegin(); it != m_roots.rend(); ++it)
        pending.push_back(*it);
    QSet<QByteArray> rootsSeen;
    while (!pending.empty() && !m_stopFlag) {
        const QByteArray dir = std::move(pending.back());
        pending.pop_back();
        if (rootsSeen.contains(dir))
            continue;
        rootsSeen.insert(dir);
        const int fd = ::open(dir.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0)
            continue;
        DIR *d = ::fdopendir(fd);
        if (!d) {
            ::close(fd);
            continue;
        }
        std::vector<QByteArray> subfolders;
        while (dirent *e = ::readdir(d)) {
            if (e->d_name[0] == '.')
                continue;
            struct statx st;
            if (::statx(fd, e->d_name, AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT,
                        STATX_TYPE | STATX_SIZE | STATX_MTIME | STATX_CTIME, &st) != 0)
                continue;
            const bool isDir = S_ISDIR(st.stx_mode);
            if (!isDir && !S_ISREG(st.stx_mode))
                continue;
            const FileRecords::Entry kind = FileRecords::classify(e->d_name, isDir);
            if (kind == FileRecords::Entry::skip)
                continue;
            const QByteArray path = child(dir, e->d_name);
            ++p.found;
            const qint64 size = isDir ? 0 : qint64(st.stx_size);
            const qint64 modified = FileDates::millis(st.stx_mtime);
            const qint64 changed = FileDates::millis(st.stx_ctime);
            const Pass::Known *k = p.find(hashPath(path.constData(), size_t(path.size())));
            if (k)
                p.seen[size_t(k - p.known.data())] = true;
            if (k && k->sig == signature(size, modified, changed)) {
                ++p.unchanged;
            } else {
                p.changed.append(path.constData(), size_t(path.size()));
                p.changed.push_back('\0');
                p.hadRow.push_back(k ? 1 : 0);
            }
            if (kind == FileRecords::Entry::folder)
                subfolders.push_back(path);
        }
        ::closedir(d);
        for (auto it = subfolders.rbegin(); it != subfolders.rend(); ++it)
            pending.push_back(std::move(*it));
        {
            std::lock_guard guard(m_lock);
            m_status.found = p.found;
            m_status.done = p.unchanged;
        }
        report(false);
    }
}

// Rows the walk did not meet are files that went away.
void Indexer::removeGone(Pass &p)
{
    for (size_t i = 0; i < p.known.size() && !m_stopFlag; ++i) {
        if (p.seen[i])
            continue;
        m_store->remove(p.known[i].id);
        batchStep();
    }
    p.known = {};
    p.seen = {};
}

void Indexer::readChanged(const Pass &p)
{
    qint64 done = p.unchanged;
    size_t offset = 0;
    for (size_t i = 0; i < p.hadRow.size(); ++i) {
        if (m_stopFlag || !waitWhilePaused())
            break;
        const char *start = p.changed.data() + offset;
        const size_t length = std::strlen(start);
        offset += length + 1;
        index(QByteArray(start, qsizetype(length)), p.hadRow[i] != 0);
        {
            std::lock_guard guard(m_lock);
            m_status.done = ++done;
        }
        // Live changes are not kept waiting for a long first pass.
        if (m_inBatch == 0) {
            const QList<QByteArray> folders = takeFolders();
            if (!folders.isEmpty())
                refreshFolders(folders);
        }
        report(false);
    }
    if (m_inBatch > 0)
        m_store->commit();
    m_inBatch = 0;
}

void Indexer::finishPass(const Pass &p, bool full, qint64 started)
{
    const bool finished = !m_stopFlag;
    {
        std::lock_guard guard(m_lock);
        m_status.state = IndexStatus::State::idle;
        m_status.files = m_store->rowCount();
        if (finished) {
            m_status.lastPass = nowMs();
            if (full)
                m_status.lastFullPass = m_status.lastPass;
        }
    }
    m_store->begin();
    report(true);
    m_store->commit();
    if (finished)
        qCInfo(lcIndex).noquote() << QStringLiteral("Tovalo: indexed %1 files (%2 read) in %3s")
                                         .arg(p.found)
                                         .arg(qint64(p.hadRow.size()))
                                         .arg(double(nowMs() - started) / 1000.0, 0, 'f', 2);
}

void Indexer::walkNew(const QByteArray &folder)
{
    std::vector<QByteArray> pending{folder};
    while (!pending.empty() && !m_stopFlag) {
        const QByteArray dir = std::move(pending.back());
        pending.pop_back();
        DIR *d = ::opendir(dir.constData());
        if (!d)
            continue;
        std::vector<QByteArray> entries;
        while (dirent *e = ::readdir(d))
            if (e->d_name[0] != '.')
                entries.push_back(child(dir, e->d_name));
        ::closedir(d);
        for (const QByteArray &path : entries) {
            const std::optional<IndexStamp> known = m_store->stamp(path);
            index(path, known.has_value());
            struct stat st;
            const QByteArray name = path.mid(path.lastIndexOf('/') + 1);
            if (::lstat(path.constData(), &st) == 0 && S_ISDIR(st.st_mode) &&
                FileRecords::classify(name.constData(), true) == FileRecords::Entry::folder)
                pending.push_back(path);
        }
    }
}

void Indexer::refreshFolders(const QList<QByteArray> &folders)
{
    for (const QByteArray &dir : folders) {
        if (m_stopFlag)
            break;
        // Only folders under a root, and none the rules leave out, belong in the index.
        bool inside = false;
        for (const QByteArray &root : m_roots) {
            if (dir == root || (dir.startsWith(root) && dir.at(root.size()) == '/')) {
                inside = true;
                const QList<QByteArray> parts = dir.mid(root.size()).split('/');
                for (const QByteArray &part : parts)
                    if (!part.isEmpty() && FileRecords::classify(part.constData(), true) != FileRecords::Entry::folder)
                        inside = false;
                break;
            }
        }
        if (!inside)
            continue;
        struct stat st;
        if (::lstat(dir.constData(), &st) != 0 || !S_ISDIR(st.st_mode)) {
            m_store->removeTree(dir);
            batchStep();
            continue;
        }
        QSet<QByteArray> onDisk;
        if (DIR *d = ::opendir(dir.constData())) {
            while (dirent *e = ::readdir(d))
                if (e->d_name[0] != '.')
                    onDisk.insert(child(dir, e->d_name));
            ::closedir(d);
        }
        for (const IndexStore::Child &row : m_store->children(dir)) {
            if (!onDisk.contains(row.path)) {
                m_store->removeTree(row.path);
                batchStep();
            }
        }
        for (const QByteArray &path : std::as_const(onDisk)) {
            const std::optional<IndexStamp> known = m_store->stamp(path);
            const std::optional<IndexRecord> now = FileRecords::read(path);
            if (!now) {
                if (known) {
                    m_store->removeTree(path);
                    batchStep();
                }
                continue;
            }
            if (known && known->sameAs(*now))
                continue;
            index(path, known.has_value());
            const QByteArray name = path.mid(path.lastIndexOf('/') + 1);
            if (!known && now->isDir && FileRecords::classify(name.constData(), true) == FileRecords::Entry::folder)
                walkNew(path);
        }
        // The folder's own row: its modification time moved with its entries.
        if (const auto own = m_roots.contains(dir) ? std::nullopt : FileRecords::read(dir)) {
            const auto known = m_store->stamp(dir);
            if (!known || !known->sameAs(*own))
                index(dir, known.has_value());
        }
    }
    if (m_inBatch > 0)
        m_store->commit();
    m_inBatch = 0;
    {
        std::lock_guard guard(m_lock);
        m_status.files = m_store->rowCount();
    }
    report(true);
}
