#pragma once

#include "model/fileitem.h"

#include <QByteArray>
#include <QList>

// The newest arrivals of a downloads folder, read from the folder itself
// (not from the catalog) so a file that has just finished downloading is
// there at once. Pure: nothing is kept between calls.
class LatestDownloads final
{
public:
    static constexpr int kLimit = 10;

    struct Entry
    {
        QByteArray path;
        // When it arrived in the folder; kDistantPast when unknown.
        Millis added = kDistantPast;
        friend bool operator==(const Entry &, const Entry &) = default;
    };

    // The folder's direct contents, folders included, hidden entries never,
    // in byte order of their names; nothing when the folder cannot be read.
    // The arrival date is the entry's change time (a rename into the folder
    // sets it), else its birth time, else the distant past; with demonstration
    // dates, the scanner's creation date, as the catalog uses.
    static QList<Entry> entries(const QByteArray &folder);
    // Newest first, equal dates in the order given, at most `limit`.
    static QList<QByteArray> newest(QList<Entry> entries, int limit = kLimit);
    // Both of the above.
    static QList<QByteArray> latest(const QByteArray &folder, int limit = kLimit);
};
