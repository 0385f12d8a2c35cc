#pragma once

#include "query.h"

#include <QFuture>
#include <QList>

#include <functional>

class Library;

// Answers a Query in two stages: the catalog at once (`local`), then the
// metadata index of the home folder for files beyond it or with the words
// inside them (`everywhere`), merged newest first.
class SearchEngine final
{
public:
    struct Outcome
    {
        QList<FileItem> items;
        // How many of `items` lie neither in the catalog nor in its folders.
        qint64 beyond = 0;
    };

    // What a search reads from the catalog: shared copies, so the wide stage
    // can take them to another thread without reading the catalog itself.
    struct Catalog
    {
        QList<FileItem> items; // catalog order
        OcrTexts ocr;
        SubjectLabels subjects;
        QList<QByteArray> locations;

        static Catalog of(const Library &library);
    };

    // Paths of files the wide search found, newest first, at most `limit`.
    using WideSearch = std::function<QList<QByteArray>(const Query &query, int limit)>;
    static constexpr int kWideLimit = 500;

    // Builds the catalog's side table now, so the first search after a scan
    // does not wait for it. Safe on any thread; `local` builds it otherwise.
    static void prepare(const Catalog &catalog);

    // The catalog records that match, in catalog order; none for a device
    // filter, which only the metadata index can answer. Main thread.
    static QList<FileItem> local(const Query &query);
    static QList<FileItem> local(const Query &query, const Catalog &catalog);

    // The local result merged with what the wide search finds, each of its
    // files tested again on its own data (terms are the index's business).
    // The search, fresh descriptions of files and the merge run on a pool
    // thread; the future is finished when the outcome is ready.
    static QFuture<Outcome> everywhere(const Query &query, const QList<FileItem> &local);
    static QFuture<Outcome> everywhere(const Query &query, const QList<FileItem> &local,
                                       const Catalog &catalog);
    static QFuture<Outcome> everywhere(const Query &query, const QList<FileItem> &local, const Catalog &catalog,
                                       WideSearch wide);
};
