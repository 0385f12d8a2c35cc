#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// One row of the index's files table, as the indexer writes it. Dates are
// milliseconds since the epoch, UTC.
struct IndexRecord
{
    // How far the file's text got: nothing to read (or not read yet), read, or
    // the reader failed on it (not tried again until the file changes).
    enum class TextState { none = 0, extracted = 1, failed = 2 };

    QByteArray path; // native bytes
    QString name;
    qint64 dev = 0;
    qint64 ino = 0;
    qint64 size = 0;
    qint64 modified = 0;
    qint64 changed = 0;
    std::optional<qint64> created;
    std::optional<qint64> added;
    std::optional<qint64> lastUsed;
    QString contentTypes; // joined with '\n'
    QString whereFroms;   // joined with '\n'; null when none
    bool screenCapture = false;
    QString cameraMake; // null when none
    QString cameraModel;
    TextState textState = TextState::none;
    bool isDir = false;
};

// What an incremental pass compares to decide whether a file must be read again.
struct IndexStamp
{
    qint64 id = 0;
    qint64 size = 0;
    qint64 modified = 0;
    qint64 changed = 0;

    bool sameAs(const IndexRecord &r) const
    {
        return size == r.size && modified == r.modified && changed == r.changed;
    }
};
