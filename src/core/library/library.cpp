#include "library.h"

#include "disk/diskrules.h"
#include "folderwatcher.h"
#include "scanner.h"
#include "search/searchengine.h"
#include "state/nameorder.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QPointer>
#include <QSettings>
#include <QThreadPool>

#include <algorithm>
#include <array>
#include <malloc.h>
#include <mutex>
#include <sys/stat.h>

Q_LOGGING_CATEGORY(lcCatalog, "tovalo.catalog", QtInfoMsg)

namespace {

QByteArray withSlash(QByteArray folder)
{
    if (!folder.endsWith('/'))
        folder += '/';
    return folder;
}

bool exists(const QByteArray &path)
{
    struct stat st;
    return ::stat(path.constData(), &st) == 0;
}

// The groups without the files at `paths`: a group left with one copy is
// none, and one whose kept copy went keeps its first copy instead.
QList<DupGroup> withoutPaths(QList<DupGroup> groups, const QSet<QByteArray> &paths)
{
    QList<DupGroup> out;
    out.reserve(groups.size());
    for (DupGroup &group : groups) {
        group.items.removeIf([&](const FileItem &item) { return paths.contains(item.path()); });
        if (group.items.size() < 2)
            continue;
        if (paths.contains(group.keep))
            group.keep = group.items.first().path();
        out.append(std::move(group));
    }
    return out;
}

} // namespace

// Lets pool threads post back to the catalog only while it is alive.
struct Library::PostBox
{
    std::mutex lock;
    Library *library = nullptr;
};

Library &Library::shared()
{
    static Library *instance = [] {
        Environment env = Environment::fromProcess();
        env.prepareForBrowsing = true;
        return new Library(std::move(env));
    }();
    return *instance;
}

Library::Library(Environment env, QObject *parent)
    : QObject(parent), m_env(std::move(env)), m_postBox(std::make_shared<PostBox>())
{
    m_postBox->library = this;
    m_pool = new QThreadPool(this);
    m_pool->setMaxThreadCount(6);
    if (m_env.watchFolders) {
        m_watcher = new FolderWatcher([](const char *name) { return DiskRules::entersFolder(name); }, this);
    }
    if (m_env.settings) {
        const QStringList saved = m_env.settings->value(QStringLiteral("pinned")).toStringList();
        for (const QString &p : saved)
            m_pinned.append(QFile::encodeName(p));
    }
}

Library::~Library()
{
    {
        std::lock_guard guard(m_postBox->lock);
        m_postBox->library = nullptr;
    }
    m_pool->waitForDone();
}

template <typename T>
void Library::publish(T &field, T value, void (Library::*changed)())
{
    const bool same = field == value;
    field = std::move(value);
    if (!same)
        emit(this->*changed)();
}

void Library::inBackground(std::function<std::function<void()>()> work)
{
    m_pool->start([box = m_postBox, work = std::move(work)] {
        std::function<void()> then = work();
        std::lock_guard guard(box->lock);
        if (box->library)
            QMetaObject::invokeMethod(box->library, std::move(then), Qt::QueuedConnection);
    });
}

// --- Folders ---------------------------------------------------------------

Library::Paths Library::standardFolders() const
{
    if (m_env.demoRoots)
        return *m_env.demoRoots;
    Paths out;
    for (const QByteArray &p : m_env.standardCandidates)
        if (exists(p))
            out.append(p);
    return out;
}

Library::Paths Library::locations() const
{
    Paths out = standardFolders();
    const qsizetype standard = out.size();
    for (const QByteArray &p : m_pinned)
        if (!out.mid(0, standard).contains(p))
            out.append(p);
    return out;
}

QByteArray Library::downloadsFolder() const
{
    if (!m_env.demoRoots)
        return m_env.downloads;
    // Demonstration homes are generated with English folder names.
    for (const QByteArray &p : *m_env.demoRoots) {
        const qsizetype slash = p.lastIndexOf('/');
        if (p.mid(slash + 1) == "Downloads")
            return p;
    }
    return {};
}

void Library::pin(const QByteArray &folder)
{
    if (locations().contains(folder))
        return;
    m_pinned.append(folder);
    emit pinnedChanged();
    savePinned();
    rescanRoots();
}

void Library::unpin(const QByteArray &folder)
{
    if (m_pinned.removeAll(folder) > 0)
        emit pinnedChanged();
    savePinned();
    rescanRoots();
}

void Library::rescanRoots()
{
    // A scan under way reads the old roots; the new ones get a scan right after it.
    if (m_isScanning)
        m_rescanQueued = true;
    else
        rescan(false);
}

void Library::savePinned()
{
    if (!m_env.settings)
        return;
    QStringList paths;
    for (const QByteArray &p : m_pinned)
        paths.append(QFile::decodeName(p));
    m_env.settings->setValue(QStringLiteral("pinned"), paths);
    m_env.settings->sync();
}

QList<FileItem> Library::items(const QByteArray &folder) const
{
    const QByteArray prefix = withSlash(folder);
    QList<FileItem> out;
    for (const FileItem &item : m_items)
        if (item.path().startsWith(prefix))
            out.append(item);
    return out;
}

// --- Scans -----------------------------------------------------------------

void Library::rescan(bool quiet)
{
    if (m_isScanning)
        return;
    publish(m_isScanning, true, &Library::isScanningChanged);
    publish(m_busy, !quiet, &Library::busyChanged);
    const Paths roots = locations();
    const Paths apps = m_env.appDirs();
    // The catalog is finished here, side table included, so the main thread
    // only publishes it and the first search after a scan waits for nothing.
    inBackground([this, roots, apps, scan = m_env.scan, appSizes = m_appSizes, ocr = m_ocr, subjects = m_subjects,
                  browse = m_env.prepareForBrowsing]() -> std::function<void()> {
        QElapsedTimer clock;
        clock.start();
        QList<FileItem> records = scan(roots, apps);
        qCInfo(lcCatalog, "Tovalo: read %d files in %.2fs", int(records.size()),
               double(clock.nsecsElapsed()) / 1e9);
        clock.restart();
        std::stable_sort(records.begin(), records.end(), [](const FileItem &a, const FileItem &b) {
            return a.activity() > b.activity();
        });
        for (FileItem &item : records) {
            if (item.kind() != Kind::app)
                continue;
            const auto known = appSizes.constFind(item.path());
            if (known != appSizes.cend() && known->modified == item.modified())
                item.setSize(known->size);
        }
        if (browse) {
            // While no one else holds the records: ranking a shared record would copy it.
            NameOrder::rank(records);
            SearchEngine::prepare(SearchEngine::Catalog{records, ocr, subjects, {}});
            // The collation keys and folding buffers are gone: their pages go back
            // to the system rather than stay with this thread's heap.
            ::malloc_trim(0);
        }
        qCInfo(lcCatalog, "Tovalo: catalog of %d files ordered and indexed in %.2fs", int(records.size()),
               double(clock.nsecsElapsed()) / 1e9);
        return [this, records = std::move(records)]() mutable { apply(std::move(records)); };
    });
}

void Library::apply(QList<FileItem> records)
{
    const quint64 generation = ++m_generation;
    publish(m_items, std::move(records), &Library::itemsChanged);
    derive();
    publish(m_isScanning, false, &Library::isScanningChanged);
    publish(m_busy, false, &Library::busyChanged);
    publish(m_hasScanned, true, &Library::hasScannedChanged);

    if (m_watcher) {
        m_watcher->watch(locations(), [this] { filesChanged(); });
    }
    sizeApps(generation);
    publish(m_dupScanning, m_dupGroups.isEmpty(), &Library::dupScanningChanged);
    findDuplicates(generation);
    if (m_env.startTextRecognition)
        m_env.startTextRecognition(m_items);
    if (std::exchange(m_rescanQueued, false))
        rescan(false);
}

void Library::sizeApps(quint64 generation)
{
    QList<FileItem> unsized;
    for (const FileItem &item : std::as_const(m_items))
        if (item.kind() == Kind::app && item.size() == 0)
            unsized.append(item);
    if (unsized.isEmpty()) {
        emit appsSized();
        return;
    }
    inBackground([this, generation, unsized, folderSize = m_env.folderSize]() -> std::function<void()> {
        QHash<QByteArray, AppSize> measured;
        for (const FileItem &app : unsized)
            measured.insert(app.path(), AppSize{app.modified(), folderSize(app.path())});
        return [this, generation, measured] {
            if (generation != m_generation)
                return;
            for (auto it = measured.cbegin(); it != measured.cend(); ++it)
                m_appSizes.insert(it.key(), it.value());
            QList<FileItem> updated = m_items;
            for (FileItem &item : updated) {
                const auto found = measured.constFind(item.path());
                if (found != measured.cend())
                    item.setSize(found->size);
            }
            publish(m_items, std::move(updated), &Library::itemsChanged);
            derive();
            emit appsSized();
        };
    });
}

void Library::findDuplicates(quint64 generation)
{
    m_removedSinceDups.clear();
    inBackground([this, generation, items = m_items, find = m_env.findDuplicates,
                  downloads = downloadsFolder()]() -> std::function<void()> {
        QList<DupGroup> groups = find ? find(items, downloads) : QList<DupGroup>{};
        return [this, generation, groups = std::move(groups)]() mutable {
            if (generation != m_generation)
                return;
            // Files trashed while the search ran must not come back in its groups.
            if (!m_removedSinceDups.isEmpty())
                groups = withoutPaths(std::move(groups), std::exchange(m_removedSinceDups, {}));
            QHash<QString, QByteArray> chosen;
            for (DupGroup &group : groups) {
                const auto keeper = m_chosenKeepers.constFind(group.id);
                if (keeper == m_chosenKeepers.cend())
                    continue;
                const bool stillThere = std::any_of(group.items.cbegin(), group.items.cend(),
                                                    [&](const FileItem &item) { return item.path() == *keeper; });
                if (stillThere) {
                    group.keep = *keeper;
                    chosen.insert(group.id, *keeper);
                }
            }
            m_chosenKeepers = std::move(chosen);
            publish(m_dupGroups, std::move(groups), &Library::dupGroupsChanged);
            publish(m_dupScanning, false, &Library::dupScanningChanged);
            if (m_env.cleanupCards)
                publish(m_cleanup, m_env.cleanupCards(m_items, m_dupGroups, m_env.now(), downloadsFolder()),
                        &Library::cleanupChanged);
        };
    });
}

// --- Derived lists -----------------------------------------------------------

void Library::derive()
{
    QMap<Kind, QList<FileItem>> byKind;
    QMap<Kind, qint64> sizeByKind;
    qint64 total = 0;
    QList<FileItem> recents;
    QList<FileItem> screenshots;
    QList<FileItem> large;
    // Counted first so every kind's list is allocated once.
    std::array<qsizetype, Kinds::all.size()> counts{};
    for (const FileItem &item : std::as_const(m_items))
        ++counts[size_t(item.kind())];
    std::array<QList<FileItem>, Kinds::all.size()> lists;
    std::array<qint64, Kinds::all.size()> sizes{};
    for (Kind kind : Kinds::all)
        lists[size_t(kind)].reserve(counts[size_t(kind)]);
    for (const FileItem &item : std::as_const(m_items)) {
        const Kind kind = item.kind();
        lists[size_t(kind)].append(item);
        sizes[size_t(kind)] += item.size();
        total += item.size();
        if (kind != Kind::app) {
            if (recents.size() < kRecentCount)
                recents.append(item);
            if (item.size() >= kLargeFileBytes)
                large.append(item);
        }
        if (item.isScreenshot())
            screenshots.append(item);
    }
    std::stable_sort(large.begin(), large.end(),
                     [](const FileItem &a, const FileItem &b) { return a.size() > b.size(); });
    for (Kind kind : Kinds::all) {
        if (counts[size_t(kind)] == 0)
            continue;
        byKind.insert(kind, std::move(lists[size_t(kind)]));
        sizeByKind.insert(kind, sizes[size_t(kind)]);
    }

    publish(m_byKind, std::move(byKind), &Library::byKindChanged);
    publish(m_sizeByKind, std::move(sizeByKind), &Library::sizeByKindChanged);
    if (total != m_totalSize)
        publish(m_totalSize, total, &Library::totalSizeChanged);
    publish(m_recents, std::move(recents), &Library::recentsChanged);
    publish(m_screenshots, std::move(screenshots), &Library::screenshotsChanged);
    publish(m_largeFiles, std::move(large), &Library::largeFilesChanged);
    publish(m_sources, SourceGroup::build(m_items), &Library::sourcesChanged);
    if (m_env.cleanupCards)
        publish(m_cleanup, m_env.cleanupCards(m_items, m_dupGroups, m_env.now(), downloadsFolder()),
                &Library::cleanupChanged);
}

void Library::remove(const QSet<QByteArray> &paths)
{
    QList<FileItem> kept;
    kept.reserve(m_items.size());
    for (const FileItem &item : std::as_const(m_items))
        if (!paths.contains(item.path()))
            kept.append(item);
    publish(m_items, std::move(kept), &Library::itemsChanged);

    m_removedSinceDups.unite(paths);
    publish(m_dupGroups, withoutPaths(m_dupGroups, paths), &Library::dupGroupsChanged);
    derive();
}

void Library::keep(const QByteArray &path, const QString &groupId)
{
    for (qsizetype i = 0; i < m_dupGroups.size(); ++i) {
        if (m_dupGroups.at(i).id != groupId)
            continue;
        QList<DupGroup> groups = m_dupGroups;
        groups[i].keep = path;
        m_chosenKeepers.insert(groupId, path);
        publish(m_dupGroups, std::move(groups), &Library::dupGroupsChanged);
        if (m_env.cleanupCards)
            publish(m_cleanup, m_env.cleanupCards(m_items, m_dupGroups, m_env.now(), downloadsFolder()),
                    &Library::cleanupChanged);
        return;
    }
}

// --- Automatic refresh ---------------------------------------------------------

void Library::filesChanged()
{
    if (!m_hasScanned || m_autoPending)
        return;
    m_autoPending = true;
    const Millis elapsed = m_env.now() - m_lastAuto;
    const Millis delay = std::max<Millis>(kAutoRefreshGapMs - elapsed, kAutoRefreshMinDelayMs);
    m_env.later(int(delay), [this, alive = QPointer<Library>(this)] {
        if (!alive)
            return;
        m_autoPending = false;
        if (m_isScanning) {
            filesChanged();
            return;
        }
        m_lastAuto = m_env.now();
        rescan(true);
    });
}

// --- Text in images -----------------------------------------------------------

void Library::setOcr(QHash<QByteArray, QString> ocr)
{
    publish(m_ocr, std::move(ocr), &Library::ocrChanged);
}

void Library::setSubjects(QHash<QByteArray, QStringList> subjects)
{
    publish(m_subjects, std::move(subjects), &Library::subjectsChanged);
}

void Library::setOcrProgress(int done, int total)
{
    publish(m_ocrDone, done, &Library::ocrDoneChanged);
    publish(m_ocrTotal, total, &Library::ocrTotalChanged);
}
