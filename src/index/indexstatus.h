#pragma once

#include <QString>

#include <optional>

class IndexStore;

// Where the indexer stands, as it writes it into the index's meta table for
// other processes (tovalo-cli index --status) and hands it to the window.
struct IndexStatus
{
    enum class State { idle, indexing, paused, off };

    State state = State::idle;
    qint64 done = 0;  // files of the current (or last) pass dealt with
    qint64 found = 0; // files the pass has found so far
    qint64 files = 0; // rows in the index
    std::optional<qint64> lastPass;     // ms since the epoch, UTC
    std::optional<qint64> lastFullPass;

    // Reads the status kept in an index file; none when there is no index.
    static std::optional<IndexStatus> read(const QString &file);
    void write(IndexStore &store) const;

    static QString stateName(State state);
    // The one-line progress text for the settings window or the home page,
    // counts grouped the user's way, e.g. "Indexing files: 1,204 of 5,310".
    QString text() const;
};
