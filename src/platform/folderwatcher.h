#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>

#include <functional>
#include <memory>
#include <optional>

class QSocketNotifier;
class QTimer;

// Tells its owner that something changed under a list of folders, in batches:
// changes are gathered for two seconds into one call of `onChange` on the main
// thread. It passes on no paths; the owner answers with a rescan.
//
// Every folder under the roots gets its own inotify watch, added off the main
// thread, shallowest folders first; folders that appear later are watched as
// they appear. Watches are shared by all of the user's programs, so it takes
// at most half of those still free; the deepest folders beyond that go unwatched.
class FolderWatcher final : public QObject
{
    Q_OBJECT

public:
    // Says whether a folder of this name is worth watching (the catalog never
    // reads some folders, so changes in them change nothing).
    using DirectoryFilter = std::function<bool(const char *name)>;
    static constexpr int kLatencyMs = 2000;

    explicit FolderWatcher(DirectoryFilter filter = {}, QObject *parent = nullptr);
    ~FolderWatcher() override;

    // Watch exactly these folders. The same list in the same order keeps the
    // running watches and the earlier callback; any other list replaces both.
    void watch(const QList<QByteArray> &folders, std::function<void()> onChange);

    // Also told, once per batch, which folders had entries change; kept across `watch` calls.
    void setFoldersListener(std::function<void(const QList<QByteArray> &folders)> listener);

    const QList<QByteArray> &watching() const { return m_watching; }
    // Folders under watch right now (grows as the background walk proceeds).
    int watchCount() const;
    // True once a walk is done adding the watches it could.
    bool isSettled() const;
    // False when some folders under the roots could not be watched live.
    bool isComplete() const;

    // Whether any watcher of this process left folders unwatched.
    static bool someFoldersUnwatched();
    // The watches a watcher may take: a share of those the user has free.
    static qsizetype budget(qsizetype limit, qsizetype inUse);
    // Takes at most `limit` watches instead of a share of the free ones.
    void setWatchLimit(std::optional<qsizetype> limit);

    struct Stream;

private:
    void readEvents();
    void stop();

    DirectoryFilter m_filter;
    QList<QByteArray> m_watching;
    std::function<void()> m_onChange;
    std::function<void(const QList<QByteArray> &)> m_foldersListener;
    QList<QByteArray> m_changedFolders;
    std::shared_ptr<Stream> m_stream;
    QSocketNotifier *m_notifier = nullptr;
    QTimer *m_batch = nullptr;
    std::optional<qsizetype> m_limit;
};
