#include "searchsession.h"

#include "library/library.h"
#include "queryparser.h"
#include "spotlight.h"

#include <QDateTime>
#include <QFutureWatcher>
#include <QTimer>

SearchSession::SearchSession(Library &library, QObject *parent)
    : QObject(parent), m_library(library), m_pause(new QTimer(this)),
      m_wide([](const Query &query, int limit) { return Spotlight::search(query, limit); }),
      m_now([] { return Millis(QDateTime::currentMSecsSinceEpoch()); })
{
    m_pause->setSingleShot(true);
    m_pause->setInterval(kWidenDelayMs);
    connect(m_pause, &QTimer::timeout, this, &SearchSession::widen);
}

SearchSession::~SearchSession() = default;

void SearchSession::setWideSearch(SearchEngine::WideSearch wide)
{
    m_wide = std::move(wide);
}

void SearchSession::setClock(std::function<Millis()> now)
{
    m_now = std::move(now);
}

Query SearchSession::parse(const QString &text) const
{
    return QueryParser::parse(text, sourceNames(m_library), m_now());
}

QStringList SearchSession::sourceNames(const Library &library)
{
    QStringList out;
    out.reserve(library.sources().size());
    for (const SourceGroup &group : library.sources())
        out.append(group.name);
    return out;
}

QList<FileItem> SearchSession::start(const Query &query)
{
    cancel();
    m_query = query;
    m_local = SearchEngine::local(m_query, SearchEngine::Catalog::of(m_library));
    return m_local;
}

void SearchSession::widenAfterPause()
{
    m_pause->start();
}

void SearchSession::cancel()
{
    ++m_generation;
    m_pause->stop();
    m_wideRunning = false;
}

bool SearchSession::widening() const
{
    return m_pause->isActive() || m_wideRunning;
}

void SearchSession::widen()
{
    const quint64 generation = m_generation;
    m_wideRunning = true;
    auto *watcher = new QFutureWatcher<SearchEngine::Outcome>(this);
    connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher, generation]() {
        watcher->deleteLater();
        // A newer search has begun since: its own answer is on the way.
        if (generation != m_generation || watcher->future().resultCount() == 0)
            return;
        m_wideRunning = false;
        emit widened(watcher->future().result());
    });
    watcher->setFuture(SearchEngine::everywhere(m_query, m_local, SearchEngine::Catalog::of(m_library), m_wide));
}
