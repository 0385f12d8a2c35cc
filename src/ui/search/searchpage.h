#pragma once

#include "search/searchengine.h"
#include "search/searchsession.h"

#include <QString>
#include <QWidget>

#include <functional>

class AppState;
class ChipBar;
class FilesPage;
class Library;
class Thumbs;

// The results of the search text: the catalog's matches at once, then,
// after a pause in typing, those the metadata index adds from the rest of
// the home folder. The filters the text was read into sit above the files
// as chips the user can switch off. A search is started whenever the text or
// the switched-off chips change, and whenever the catalog does; an answer
// that arrives after a newer search began is thrown away.
class SearchPage final : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kWidenDelayMs = SearchSession::kWidenDelayMs;

    SearchPage(AppState &state, Library &library, Thumbs &thumbs, QWidget *parent = nullptr);
    ~SearchPage() override;

    // Stand-ins for tests and benchmarks: the metadata index and the clock
    // the text is read against. Defaults: the index of this machine and now.
    void setWideSearch(SearchEngine::WideSearch wide);
    void setClock(std::function<Millis()> now);

    const SearchEngine::Outcome &outcome() const { return m_outcome; }
    bool looking() const { return m_looking; }
    // The text, "|", and the switched-off chip ids in ascending order joined with ",".
    const QString &key() const { return m_key; }
    FilesPage &filesPage() const { return *m_page; }
    ChipBar &chipBar() const { return *m_chips; }

    static QString keyFor(const QString &query, const QSet<QString> &dropped);

signals:
    // The wide stage's answer was taken in.
    void widened();

private:
    // Starts a search when the key differs from the last one's.
    void follow();
    // Searches again for the same key, for a changed catalog; with no search
    // shown, readies the catalog for the next one instead.
    void rerun();
    void run();
    void toggle(const QString &id);
    void present(const SearchEngine::Outcome &outcome, bool looking);

    AppState &m_state;
    Library &m_library;
    FilesPage *m_page;
    ChipBar *m_chips;
    SearchSession *m_session;

    QString m_key;
    SearchEngine::Outcome m_outcome;
    bool m_looking = false;
    // What the file page was last given, in the order given.
    QList<FileItem> m_shownItems;
};
