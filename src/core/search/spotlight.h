#pragma once

#include "query.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

// The search beyond the catalog: a Query becomes a metadata-index predicate
// over kMDItem… attributes, run over the home folder through the process's
// MetadataIndex. The index answers; this side decides what is worth showing.
class Spotlight final
{
public:
    static constexpr int kMaxGathered = 40000;

    // The user's home folder (not the demonstration one), no trailing slash.
    static const QByteArray &home();
    // The predicate's date form: UTC, whole seconds, "2024-12-31T23:00:00Z".
    static QString iso(Millis instant);

    // None when the query asks for nothing the index can test.
    static std::optional<QString> queryString(const Query &query);

    // Paths of matching files under the home folder, newest first, at most
    // `limit`. Empty in demonstration mode, without an index, or when the
    // index fails. Blocks for the whole search: background threads only.
    static QList<QByteArray> search(const Query &query, int limit);
    static QList<QByteArray> search(const Query &query, int limit, const QByteArray &home);

    // Of the paths an index reported, in order, those inside `home` that are
    // not in the library folder (cloud documents excepted), a hidden folder,
    // a package or a build or dependency folder; at most `limit`.
    static QList<QByteArray> keep(const QList<QByteArray> &found, const QByteArray &home, int limit);
};
