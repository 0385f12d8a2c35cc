#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

// Snapshot mode (TOVALO_SNAPSHOT): after TOVALO_WAIT seconds, pictures a
// window into a PNG, prints what the catalog holds and ends the process.
namespace SnapshotMode {

// Schedules everything from now on; main thread.
void start(const QString &path);

// "subjects pictures=… read=…/… top: label n, …": labels by how many
// pictures carry them, most first, at most 45.
QString subjectsLine(const QHash<QByteArray, QStringList> &subjects, int done, int total);
// "search-test visible=N first=[…]" with the paths of the first 8 files.
QString searchLine(const QStringList &paths, qsizetype visible);

} // namespace SnapshotMode
