#pragma once

#include <QString>

// The words of the search page: its title, the count and what the search
// is still doing, and the empty state. Pure, so the wording can be checked
// without a window.
class SearchTexts final
{
public:
    // `query` without spaces and tabs at either end; line breaks stay.
    static QString trimmed(const QString &query);
    // Whether `query` asks for a search at all: something besides spaces and tabs.
    static bool isSearch(const QString &query);

    // "Results for “pdfs”".
    static QString title(const QString &query);
    // "1 match", else the count in the locale's grouping + " matches" (also for 0).
    static QString count(qsizetype matches);
    // " · still looking across your computer…" while looking; otherwise the
    // files found beyond the catalog's folders, or " on your computer".
    static QString suffix(bool looking, qint64 beyond);
    static QString subtitle(qsizetype matches, bool looking, qint64 beyond);

    static QString emptySymbol();
    static QString emptyTitle(bool looking);
    static QString emptyDetail(bool looking);
};
