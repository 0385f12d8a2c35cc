#pragma once

#include "indexstatus.h"
#include "powersaving.h"

#include <QByteArray>
#include <QList>
#include <QObject>

#include <memory>

class FolderWatcher;
class Indexer;
class Library;

// The application's handle on its index: starts the background indexer,
// passes the folder watcher's changes on to it, follows the settings, and
// publishes progress on the main thread.
class IndexService final : public QObject
{
    Q_OBJECT

public:
    static IndexService &shared();
    explicit IndexService(QString file, QObject *parent = nullptr);
    ~IndexService() override;

    // The home folder, with live updates from the catalog's watcher. Call
    // once the first scan is under way; later calls do nothing.
    void start(Library &library);
    void start(const QList<QByteArray> &roots, FolderWatcher *watcher);
    void setPaused(bool paused);
    // Off stops the indexer; the wide search then finds nothing.
    void setEnabled(bool enabled);
    bool isEnabled() const { return m_enabled; }
    bool isPaused() const { return m_paused; }
    // The indexer also waits while the computer saves power, apart from the
    // user's own pause (which is kept in the settings; this is not).
    void setPowerSaving(PowerSaving saving);
    PowerSaving powerSaving() const { return m_powerSaving; }
    // Reads the whole home folder again from nothing.
    void rebuild();

    const IndexStatus &status() const { return m_status; }
    // One line for the settings window or the home page; while the computer
    // saves power it says why the index waits.
    QString indexProgressText() const;

signals:
    void statusChanged();

private:
    void launch();
    void setStatus(const IndexStatus &status);
    bool indexerWaits() const { return m_paused || m_powerSaving != PowerSaving::none; }

    QString m_file;
    QList<QByteArray> m_roots;
    FolderWatcher *m_watcher = nullptr;
    bool m_started = false;
    bool m_enabled = true;
    bool m_paused = false;
    PowerSaving m_powerSaving = PowerSaving::none;
    std::unique_ptr<Indexer> m_indexer;
    IndexStatus m_status;
    // Lets the indexer's thread post to this object only while it exists.
    std::shared_ptr<IndexService *> m_self;
};
