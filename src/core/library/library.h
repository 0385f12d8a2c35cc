#pragma once

#include "analysis/cleanupcard.h"
#include "analysis/dupgroup.h"
#include "model/fileitem.h"
#include "model/sourcegroup.h"

#include <QHash>
#include <QMap>
#include <QObject>
#include <QSet>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

class FolderWatcher;
class QSettings;
class QThreadPool;

// The catalog: the records of the user's folders and every list derived from
// them. Lives on the main thread; scans and analyses run in the background on
// copies and hand their results back, and a result that belongs to an older
// scan than the last one applied is dropped.
class Library final : public QObject
{
    Q_OBJECT

public:
    using Paths = QList<QByteArray>;

    // Everything the catalog takes from the outside world, so tests can stand
    // in for the disk, the clock and the main loop's timers.
    struct Environment
    {
        QByteArray home;
        // Desktop, Documents, Downloads, Pictures, Videos, Music, in that
        // order; only those that exist count, tested on every access.
        Paths standardCandidates;
        // TOVALO_ROOTS: read instead of the standard folders.
        std::optional<Paths> demoRoots;
        // The XDG download folder, localized or not; empty when the user has
        // none. With demoRoots, the root named "Downloads" stands in for it.
        QByteArray downloads;
        // The application folders, asked anew at every scan start.
        std::function<Paths()> appDirs;
        // Holds the "pinned" list; none keeps pins for this process only.
        QSettings *settings = nullptr;
        std::function<Millis()> now;
        // Runs `action` on the main thread after `delayMs`.
        std::function<void(int delayMs, std::function<void()> action)> later;
        std::function<QList<FileItem>(const Paths &roots, const Paths &appDirs)> scan;
        std::function<qint64(const QByteArray &bundle)> folderSize;
        // The analyses that follow a scan; each may block and runs off the main thread
        // except `cleanupCards` and `startTextRecognition`. Both get the download folder.
        std::function<QList<DupGroup>(const QList<FileItem> &, const QByteArray &downloads)> findDuplicates;
        std::function<QList<CleanupCard>(const QList<FileItem> &, const QList<DupGroup> &, Millis now,
                                         const QByteArray &downloads)>
            cleanupCards;
        std::function<void(const QList<FileItem> &)> startTextRecognition;
        bool watchFolders = true;
        // Ranks the records by name and builds the search side table on the
        // scan's thread, before the catalog is published: for a window, where
        // sorts and typed searches follow. A command pays only for what it asks.
        bool prepareForBrowsing = false;

        // The real folders, settings, clock and timers of this process.
        static Environment fromProcess();
    };

    static constexpr int kRecentCount = 150;
    static constexpr qint64 kLargeFileBytes = 100'000'000;
    static constexpr int kAutoRefreshGapMs = 8000;
    static constexpr int kAutoRefreshMinDelayMs = 500;

    static Library &shared();
    explicit Library(Environment env, QObject *parent = nullptr);
    ~Library() override;

    // Starts a scan unless one is running; `quiet` scans show no progress.
    void rescan(bool quiet);
    void pin(const QByteArray &folder);
    void unpin(const QByteArray &folder);
    // Records anywhere under `folder`, in catalog order.
    QList<FileItem> items(const QByteArray &folder) const;
    // Makes `path` the copy to keep in the group `groupId`.
    void keep(const QByteArray &path, const QString &groupId);
    // Forgets files that left their folders, without reading the disk.
    void remove(const QSet<QByteArray> &paths);
    // Called by the folder watcher; public so a test can stand in for it.
    void filesChanged();
    // Rebuilds every list derived from `items`; public so it can be measured alone.
    void derive();

    Paths standardFolders() const;
    // The scan roots and watched folders: standard folders, then pins.
    Paths locations() const;
    // The download folder every Downloads rule means; empty when there is none.
    QByteArray downloadsFolder() const;
    Paths appDirs() const { return m_env.appDirs(); }
    const QByteArray &home() const { return m_env.home; }
    FolderWatcher *watcher() const { return m_watcher; }

    const QList<FileItem> &items() const { return m_items; }
    bool isScanning() const { return m_isScanning; }
    bool busy() const { return m_busy; }
    bool hasScanned() const { return m_hasScanned; }
    const QMap<Kind, QList<FileItem>> &byKind() const { return m_byKind; }
    const QMap<Kind, qint64> &sizeByKind() const { return m_sizeByKind; }
    qint64 totalSize() const { return m_totalSize; }
    const QList<FileItem> &recents() const { return m_recents; }
    const QList<FileItem> &screenshots() const { return m_screenshots; }
    const QList<FileItem> &largeFiles() const { return m_largeFiles; }
    const QList<SourceGroup> &sources() const { return m_sources; }
    const QList<CleanupCard> &cleanup() const { return m_cleanup; }
    const QList<DupGroup> &dupGroups() const { return m_dupGroups; }
    bool dupScanning() const { return m_dupScanning; }
    const QHash<QByteArray, QString> &ocr() const { return m_ocr; }
    const QHash<QByteArray, QStringList> &subjects() const { return m_subjects; }
    int ocrDone() const { return m_ocrDone; }
    int ocrTotal() const { return m_ocrTotal; }
    const Paths &pinned() const { return m_pinned; }

    // Written by the text-in-images index, on the main thread.
    void setOcr(QHash<QByteArray, QString> ocr);
    void setSubjects(QHash<QByteArray, QStringList> subjects);
    void setOcrProgress(int done, int total);

signals:
    void itemsChanged();
    void isScanningChanged();
    void busyChanged();
    void hasScannedChanged();
    void byKindChanged();
    void sizeByKindChanged();
    void totalSizeChanged();
    void recentsChanged();
    void screenshotsChanged();
    void largeFilesChanged();
    void sourcesChanged();
    void cleanupChanged();
    void dupGroupsChanged();
    void dupScanningChanged();
    void ocrChanged();
    void subjectsChanged();
    void ocrDoneChanged();
    void ocrTotalChanged();
    void pinnedChanged();
    // Application sizes of the latest scan are in `items` (also when none needed measuring).
    void appsSized();

private:
    struct AppSize
    {
        Millis modified;
        qint64 size;
    };
    struct PostBox;

    void apply(QList<FileItem> records);
    void sizeApps(quint64 generation);
    void findDuplicates(quint64 generation);
    void savePinned();
    // Scans the changed roots now, or right after the scan under way.
    void rescanRoots();
    // Runs `work` on a pool thread and its result's continuation on the main thread.
    void inBackground(std::function<std::function<void()>()> work);

    // Stores `value`; tells readers only when it differs from what was there.
    template <typename T>
    void publish(T &field, T value, void (Library::*changed)());

    Environment m_env;
    FolderWatcher *m_watcher = nullptr;
    // Its own threads: a long duplicate search must never hold up the next scan.
    QThreadPool *m_pool = nullptr;
    std::shared_ptr<PostBox> m_postBox;

    QList<FileItem> m_items;
    bool m_isScanning = false;
    bool m_busy = false;
    bool m_hasScanned = false;
    QMap<Kind, QList<FileItem>> m_byKind;
    QMap<Kind, qint64> m_sizeByKind;
    qint64 m_totalSize = 0;
    QList<FileItem> m_recents;
    QList<FileItem> m_screenshots;
    QList<FileItem> m_largeFiles;
    QList<SourceGroup> m_sources;
    QList<CleanupCard> m_cleanup;
    QList<DupGroup> m_dupGroups;
    bool m_dupScanning = false;
    QHash<QByteArray, QString> m_ocr;
    QHash<QByteArray, QStringList> m_subjects;
    int m_ocrDone = 0;
    int m_ocrTotal = 0;
    Paths m_pinned;

    // The copy the user chose to keep, by group id: a later search that finds
    // the group again keeps that choice while the copy is still in it.
    QHash<QString, QByteArray> m_chosenKeepers;
    // Files that left since the running duplicate search took its copy of the catalog.
    QSet<QByteArray> m_removedSinceDups;
    // The roots changed during a scan: another follows it.
    bool m_rescanQueued = false;

    quint64 m_generation = 0;
    Millis m_lastAuto = kDistantPast;
    bool m_autoPending = false;
    QHash<QByteArray, AppSize> m_appSizes;
};
