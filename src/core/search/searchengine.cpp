#include "searchengine.h"

#include "library/library.h"
#include "library/scanner.h"
#include "querymatcher.h"
#include "searchindex.h"
#include "spotlight.h"

#include <QPromise>
#include <QSet>
#include <QThreadPool>

#include <algorithm>
#include <memory>

namespace {

// Its own pool: a scan or a duplicate search may be holding the global one.
QThreadPool &widePool()
{
    static QThreadPool *pool = [] {
        auto *p = new QThreadPool;
        p->setMaxThreadCount(2);
        return p;
    }();
    return *pool;
}

bool under(const QByteArray &path, const QList<QByteArray> &folders)
{
    for (const QByteArray &folder : folders) {
        if (folder.isEmpty())
            continue;
        const bool slash = folder.endsWith('/');
        if (path.startsWith(folder) && (slash || path.size() == folder.size() || path.at(folder.size()) == '/'))
            return true;
    }
    return false;
}

SearchEngine::Outcome widen(const Query &query, const QList<FileItem> &local, const SearchEngine::Catalog &catalog,
                            const SearchEngine::WideSearch &wide)
{
    const QList<QByteArray> found = wide(query, SearchEngine::kWideLimit);
    // Only the handful of paths found are looked up, so the catalog and the
    // local result are each read once instead of being made into dictionaries.
    QHash<QByteArray, qsizetype> wanted;
    for (const QByteArray &path : found)
        wanted.insert(path, -1);
    QSet<QByteArray> shown;
    if (!wanted.isEmpty()) {
        for (const FileItem &item : local)
            if (wanted.contains(item.path()))
                shown.insert(item.path());
        qsizetype left = wanted.size();
        for (qsizetype i = 0; i < catalog.items.size() && left > 0; ++i) {
            const auto slot = wanted.find(catalog.items.at(i).path());
            if (slot != wanted.end() && *slot < 0) {
                *slot = i; // the first record of a path wins
                --left;
            }
        }
    }
    const QueryMatcher matcher(query);
    QList<FileItem> extra;
    qint64 beyond = 0;
    for (const QByteArray &path : found) {
        if (shown.contains(path))
            continue;
        const qsizetype known = wanted.value(path, -1);
        std::optional<FileItem> record;
        if (known >= 0)
            record = catalog.items.at(known);
        else
            record = Scanner::item(path);
        if (!record)
            continue;
        if (!matcher.passesFilters(QueryMatcher::factsOf(*record), *record))
            continue;
        extra.append(*record);
        if (known < 0 && !under(path, catalog.locations))
            ++beyond;
    }
    SearchEngine::Outcome outcome;
    outcome.items = local;
    outcome.items.append(extra);
    std::stable_sort(outcome.items.begin(), outcome.items.end(),
                     [](const FileItem &a, const FileItem &b) { return a.activity() > b.activity(); });
    outcome.beyond = beyond;
    return outcome;
}

} // namespace

SearchEngine::Catalog SearchEngine::Catalog::of(const Library &library)
{
    return Catalog{library.items(), library.ocr(), library.subjects(), library.locations()};
}

void SearchEngine::prepare(const Catalog &catalog)
{
    SearchIndex::of(catalog.items, catalog.ocr, catalog.subjects);
}

QList<FileItem> SearchEngine::local(const Query &query)
{
    return local(query, Catalog::of(Library::shared()));
}

QList<FileItem> SearchEngine::local(const Query &query, const Catalog &catalog)
{
    if (query.device)
        return {};
    const auto index = SearchIndex::of(catalog.items, catalog.ocr, catalog.subjects);
    return index->search(query, SearchIndex::threads());
}

QFuture<SearchEngine::Outcome> SearchEngine::everywhere(const Query &query, const QList<FileItem> &local)
{
    return everywhere(query, local, Catalog::of(Library::shared()));
}

QFuture<SearchEngine::Outcome> SearchEngine::everywhere(const Query &query, const QList<FileItem> &local,
                                                        const Catalog &catalog)
{
    return everywhere(query, local, catalog,
                      [](const Query &q, int limit) { return Spotlight::search(q, limit); });
}

QFuture<SearchEngine::Outcome> SearchEngine::everywhere(const Query &query, const QList<FileItem> &local,
                                                        const Catalog &catalog, WideSearch wide)
{
    auto promise = std::make_shared<QPromise<Outcome>>();
    QFuture<Outcome> future = promise->future();
    promise->start();
    widePool().start([promise, query, local, catalog, wide = std::move(wide)] {
        promise->addResult(widen(query, local, catalog, wide));
        promise->finish();
    });
    return future;
}
