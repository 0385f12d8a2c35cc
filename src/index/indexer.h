#pragma once

#include "indexstatus.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

class ExtractClient;
class IndexStore;

// Keeps the index file in step with the folders under its roots. Runs on a
// thread of its own at idle CPU and I/O priority: a first full pass, then
// incremental passes that read again only files whose size, modification or
// change time moved; folders reported changed are read again between files.
// Every method may be called from any thread.
class Indexer final
{
public:
    // How often an incremental pass runs while the process lives.
    static constexpr int kPassIntervalMs = 60 * 60 * 1000;
    // Files written per transaction.
    static constexpr int kBatchFiles = 256;

    using ProgressFn = std::function<void(const IndexStatus &)>;

    Indexer(QString file, QList<QByteArray> roots, QStringList helper);
    ~Indexer();
    Indexer(const Indexer &) = delete;
    Indexer &operator=(const Indexer &) = delete;

    // Called on the indexer's thread, a few times a second at most, and at the end of every pass.
    void setProgress(ProgressFn progress);
    // Starts the thread and its first pass.
    void start();
    void requestPass(bool rebuild = false);
    // Folders whose entries changed (from the folder watcher).
    void foldersChanged(const QList<QByteArray> &folders);
    void setPaused(bool paused);
    // Stops the thread after the file in hand; the index stays as far as it got.
    void stop();

    // Runs one pass on the caller's thread (no thread of its own): the
    // command line's way. False when the index could not be opened.
    bool runPass(bool rebuild, QString *error = nullptr);
    IndexStatus status() const;

    struct Pass;

private:
    void loop();
    bool openStore(QString *error);
    // One pass, job by job: the stamps the index holds, a stat-only walk
    // against them, rows of files that went away removed, changed files read.
    void pass(bool rebuild);
    bool beginPass(bool rebuild); // true when the pass counts as full
    void loadStamps(Pass &p);
    void walk(Pass &p);
    void removeGone(Pass &p);
    void readChanged(const Pass &p);
    void finishPass(const Pass &p, bool full, qint64 started);
    void refreshFolders(const QList<QByteArray> &folders);
    // Reads one row (and its text) into the store; `hadRow` when it replaces one.
    void index(const QByteArray &path, bool hadRow);
    void walkNew(const QByteArray &folder);
    void batchStep();
    void report(bool force);
    bool waitWhilePaused();
    QList<QByteArray> takeFolders();

    QString m_file;
    QList<QByteArray> m_roots;
    QStringList m_helper;
    ProgressFn m_progress;

    std::unique_ptr<IndexStore> m_store;
    std::unique_ptr<ExtractClient> m_extract;
    int m_inBatch = 0;
    qint64 m_lastReport = 0;

    mutable std::mutex m_lock;
    std::condition_variable m_wake;
    std::thread m_thread;
    bool m_stop = false;
    bool m_paused = false;
    bool m_passWanted = false;
    bool m_rebuildWanted = false;
    QList<QByteArray> m_changedFolders;
    IndexStatus m_status;
    std::atomic<bool> m_stopFlag{false};
};
