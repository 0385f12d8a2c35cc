#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <memory>
#include <optional>

// A searchable index of file metadata and contents: a predicate over
// kMDItem… attributes goes in, matching file paths come out. The wide search
// talks to whatever index the process has installed; with none installed it
// finds nothing, which is also what a failed search looks like.
class MetadataIndex
{
public:
    virtual ~MetadataIndex();

    // Paths (native bytes) of the files under `scope` that satisfy
    // `predicate`, most recent content change first, at most `maxCount`.
    // None when the index does not accept the predicate or the run failed.
    // Blocking; called from background threads, possibly several at once.
    virtual std::optional<QList<QByteArray>> search(const QString &predicate, const QByteArray &scope,
                                                    int maxCount) = 0;

    // The process's index, or none. Safe from any thread; a search in flight
    // keeps the index it started with alive.
    static std::shared_ptr<MetadataIndex> installed();
    // Replaces the process's index; none removes it.
    static void install(std::shared_ptr<MetadataIndex> index);
};
