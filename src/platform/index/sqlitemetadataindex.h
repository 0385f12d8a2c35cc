#pragma once

#include "metadataindex.h"

#include <QString>

// The wide search over the application's own index file: predicates are
// parsed, turned into one SQL statement with bound values and run on a
// read-only connection of their own, so searches from several threads at
// once never wait for each other or for the indexer's writes.
class SqliteMetadataIndex final : public MetadataIndex
{
public:
    explicit SqliteMetadataIndex(QString file);

    // None, with one log line, when the predicate cannot be read or the
    // index cannot be searched; an index file that does not exist yet
    // answers none without a word, as a new one has nothing to find.
    std::optional<QList<QByteArray>> search(const QString &predicate, const QByteArray &scope, int maxCount) override;

    const QString &file() const { return m_file; }

private:
    QString m_file;
};
