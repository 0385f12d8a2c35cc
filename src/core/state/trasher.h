#pragma once

#include "freedesktoptrash.h"
#include "model/fileitem.h"

#include <functional>
#include <optional>
#include <QHash>
#include <QList>
#include <QObject>
#include <QSet>
#include <QString>

class AppState;
class Library;

// Every deletion goes through here: files move to the Trash in batches, the
// last batch can be put back with one Undo, and the status message the
// window's toast shows lives here too. Main thread only.
class Trasher final : public QObject
{
    Q_OBJECT

public:
    // One file of a batch: where it was, and where it lies in the Trash.
    struct Move
    {
        QByteArray from;
        QByteArray to;
        friend bool operator==(const Move &, const Move &) = default;
    };

    struct Environment
    {
        // The catalog kept in step with the moves; never null.
        Library *library = nullptr;
        // The window state whose selection lets go of moved files; none without a window.
        AppState *state = nullptr;
        FreedesktopTrash trash;
        // Runs `action` on the main thread after `delayMs`; empty uses the main loop's timers.
        std::function<void(int delayMs, std::function<void()> action)> later;

        // The process's catalog, window state and Trash.
        static Environment fromProcess();
    };

    static constexpr int kUndoMessageMs = 12000;
    static constexpr int kMessageMs = 4000;

    static Trasher &shared();
    explicit Trasher(Environment env, QObject *parent = nullptr);

    // Moves the items' files to the Trash as one batch; an empty list does nothing at all.
    // A catalogued file that is no longer the file its record describes stays put.
    void trash(const QList<FileItem> &items);
    // The same for the extra copies of the catalog's duplicate groups: each
    // moves only while the copy its group keeps is still there, unchanged.
    void trashExtras(const QList<FileItem> &extras);
    // Moves every file of the last batch back to where it was.
    void undo();
    // Shows `message` for a while; `undo` offers the Undo button with it.
    void show(const QString &message, bool undo);

    const std::optional<QString> &message() const { return m_message; }
    bool canUndo() const { return m_canUndo; }
    // The batch the next Undo puts back.
    const QList<Move> &lastBatch() const { return m_last; }

signals:
    void messageChanged();
    void canUndoChanged();
    // These files left their places, already gone from the catalog and the selection.
    void moved(const QSet<QByteArray> &paths);
    // A file that could not go to the Trash or come back from it, and why.
    void moveFailed(const QByteArray &path, const QString &reason);

private:
    // `keepers` maps each extra to the copy that stays; null when the items are no extras.
    void trashBatch(const QList<FileItem> &items, const QHash<QByteArray, FileItem> *keepers);
    void setMessage(std::optional<QString> message);
    void setCanUndo(bool canUndo);

    Environment m_env;
    std::optional<QString> m_message;
    bool m_canUndo = false;
    QList<Move> m_last;
    quint64 m_ticket = 0;
};
