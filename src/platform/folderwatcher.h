#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>

#include <functional>
#include <memory>

class QSocketNotifier;
class QTimer;

// Tells its owner that something changed under a list of folders, in batches:
// changes are gathered for two seconds into one call of `onChange` on the main
// thread. It passes on no paths; the owner answers with a rescan.
//
// Every folder under the roots gets its own inotify watch, added off the main
// thread; folders that appear later are watched as they appear. When the
// kernel's watch limit is reached the rest simply go unwatched.
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
};
