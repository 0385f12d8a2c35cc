#pragma once

#include "searchengine.h"

#include <QObject>
#include <QStringList>

#include <functional>

class Library;
class QTimer;

// One search as the user types it: the text read against the catalog's
// source names and a clock, the catalog's matches at once, then, after a
// pause in typing, what the metadata index adds. Starting again or
// cancelling drops the answer of the older search when it comes.
class SearchSession final : public QObject
{
    Q_OBJECT

public:
    static constexpr int kWidenDelayMs = 220;

    explicit SearchSession(Library &library, QObject *parent = nullptr);
    ~SearchSession() override;

    // Stand-ins for tests and benchmarks: the metadata index and the clock
    // the text is read against. Defaults: the index of this machine and now.
    void setWideSearch(SearchEngine::WideSearch wide);
    void setClock(std::function<Millis()> now);

    Query parse(const QString &text) const;
    // The catalog's source names, as the query parser recognises them.
    static QStringList sourceNames(const Library &library);
    // Searches the catalog for `query` now and returns its matches, dropping
    // the search before; `widenAfterPause` then lets the wide stage follow.
    QList<FileItem> start(const Query &query);
    void widenAfterPause();
    // Drops the search under way: no wide stage, no answer.
    void cancel();
    // The wide stage is waiting for the pause to end or has not answered yet.
    bool widening() const;

signals:
    // The wide stage's answer for the current search.
    void widened(const SearchEngine::Outcome &outcome);

private:
    void widen();

    Library &m_library;
    QTimer *m_pause;
    SearchEngine::WideSearch m_wide;
    std::function<Millis()> m_now;
    quint64 m_generation = 0;
    bool m_wideRunning = false;
    Query m_query;
    QList<FileItem> m_local;
};
