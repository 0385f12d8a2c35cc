#include "searchtexts.h"

#include <QLocale>

#include <algorithm>

namespace {

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

} // namespace

QString SearchTexts::trimmed(const QString &query)
{
    qsizetype begin = 0;
    qsizetype end = query.size();
    while (begin < end && isBlank(query.at(begin)))
        ++begin;
    while (end > begin && isBlank(query.at(end - 1)))
        --end;
    return query.mid(begin, end - begin);
}

bool SearchTexts::isSearch(const QString &query)
{
    return std::any_of(query.begin(), query.end(), [](QChar c) { return !isBlank(c); });
}

QString SearchTexts::title(const QString &query)
{
    return QStringLiteral("Results for \u201C") + trimmed(query) + QStringLiteral("\u201D");
}

QString SearchTexts::count(qsizetype matches)
{
    if (matches == 1)
        return QStringLiteral("1 match");
    return QLocale().toString(qint64(matches)) + QStringLiteral(" matches");
}

QString SearchTexts::suffix(bool looking, qint64 beyond)
{
    if (looking)
        return QStringLiteral(" \u00B7 still looking across your computer\u2026");
    if (beyond >= 1)
        return QStringLiteral(" \u00B7 ") + QLocale().toString(beyond) + QStringLiteral(" outside your library folders");
    return QStringLiteral(" on your computer");
}

QString SearchTexts::subtitle(qsizetype matches, bool looking, qint64 beyond)
{
    return count(matches) + suffix(looking, beyond);
}

QString SearchTexts::emptySymbol()
{
    return QStringLiteral("magnifyingglass");
}

QString SearchTexts::emptyTitle(bool looking)
{
    return looking ? QStringLiteral("Looking\u2026") : QStringLiteral("Nothing matched");
}

QString SearchTexts::emptyDetail(bool looking)
{
    if (looking)
        return QStringLiteral("Checking the rest of your computer and inside your documents.");
    return QStringLiteral("Try something like \u201Cpdfs from last week\u201D, \u201Cimages over 5 mb\u201D or "
                          "\u201Cscreenshots with invoice\u201D, or remove a filter above.");
}
