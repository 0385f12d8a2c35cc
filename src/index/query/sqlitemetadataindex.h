#pragma once

#include "metadataindex.h"

#include <QString>

#include <memory>
#include <mutex>
#include <vector>

// The wide search over the application's own index file: predicates are
// parsed, turned into one SQL statement with bound values and run on a
// read-only connection of their own, so searches from several threads at
// once never wait for each other or for the indexer's writes. Connections
// are kept between searches with their page caches warm, for as long as
// the file they read is still the index file.
class SqliteMetadataIndex final : public MetadataIndex
{
public:
    explicit SqliteMetadataIndex(QString file);
    ~SqliteMetadataIndex() override;

    // None, with one log line, when the predicate cannot be read or the
    // index cannot be searched; an index file that does not exist yet
    // answers none without a word, as a new one has nothing to find.
    std::optional<QList<QByteArray>> search(const QString &predicate, const QByteArray &scope, int maxCount) override;

    const QString &file() const { return m_file; }

    // Makes the user's own index file the process's metadata index while
    // indexing is on, and removes it while it is off. Called at start-up and
    // again whenever the setting changes.
    static void installDefault();

private:
    struct Connection;
    std::unique_ptr<Connection> take();
    void giveBack(std::unique_ptr<Connection> connection);

    QString m_file;
    std::mutex m_lock;
    std::vector<std::unique_ptr<Connection>> m_idle;
};
