#include "nameorder.h"

#include <QCollatorSortKey>
#include <QHash>
#include <QLocale>

#include <algorithm>
#include <limits>
#include <mutex>
#include <numeric>
#include <optional>
#include <thread>
#include <vector>

namespace {

// Below this many records a second thread costs more than it saves.
constexpr qsizetype kParallelFrom = 32768;

using Keys = std::vector<std::optional<QCollatorSortKey>>;

// The "C" locale has no collation rules (and would compare digits one by
// one), so it borrows the root rules.
QLocale collationLocale()
{
    const QLocale locale;
    return locale.language() == QLocale::C ? QLocale(QLocale::English) : locale;
}

QCollator collatorFor(const QLocale &locale)
{
    QCollator collator(locale);
    collator.setNumericMode(true);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    return collator;
}

int cores()
{
    return int(std::clamp(std::thread::hardware_concurrency(), 1u, 8u));
}

// Runs `work(part, begin, end)` over `parts` slices of [0, n), each on its own thread.
template <typename Work> void inParts(qsizetype n, int parts, Work work)
{
    std::vector<std::thread> helpers;
    for (int part = 1; part < parts; ++part)
        helpers.emplace_back(work, part, n * part / parts, n * (part + 1) / parts);
    work(0, qsizetype(0), n / parts);
    for (std::thread &t : helpers)
        t.join();
}

int partsFor(qsizetype n)
{
    return n < kParallelFrom ? 1 : cores();
}

// One collation key per name, made on every core; each thread has its own
// collator, as one collator is not meant to be used by several at once.
Keys keysOf(const QList<FileItem> &items, const QLocale &locale, int parts)
{
    Keys keys(size_t(items.size()));
    inParts(items.size(), parts, [&](int, qsizetype begin, qsizetype end) {
        const QCollator collator = collatorFor(locale);
        for (qsizetype i = begin; i < end; ++i)
            keys[size_t(i)].emplace(collator.sortKey(items.at(i).name()));
    });
    return keys;
}

// The indices of `keys` in key order, equal keys by index: each slice is
// sorted on its own thread, then the slices are merged.
std::vector<quint32> keyOrder(const Keys &keys, int parts)
{
    const qsizetype n = qsizetype(keys.size());
    std::vector<quint32> order(static_cast<size_t>(n));
    std::iota(order.begin(), order.end(), quint32(0));
    const auto less = [&](quint32 a, quint32 b) {
        const int c = keys[a]->compare(*keys[b]);
        return c != 0 ? c < 0 : a < b;
    };
    inParts(n, parts, [&](int, qsizetype begin, qsizetype end) {
        std::sort(order.begin() + begin, order.begin() + end, less);
    });
    for (int part = 1; part < parts; ++part)
        std::inplace_merge(order.begin(), order.begin() + n * part / parts, order.begin() + n * (part + 1) / parts,
                           less);
    return order;
}

// The locale each ranking was made under: ranks only hold for it.
class Rankings final
{
public:
    quint16 add(const QLocale &locale)
    {
        std::lock_guard guard(m_lock);
        if (++m_last == 0)
            ++m_last;
        m_locales.insert(m_last, locale);
        return m_last;
    }
    bool madeUnder(quint16 ranking, const QLocale &locale) const
    {
        std::lock_guard guard(m_lock);
        const auto found = m_locales.constFind(ranking);
        return found != m_locales.cend() && *found == locale;
    }

private:
    mutable std::mutex m_lock;
    quint16 m_last = 0;
    QHash<quint16, QLocale> m_locales;
};

Rankings &rankings()
{
    static Rankings all;
    return all;
}

QList<FileItem> inOrder(const QList<FileItem> &items, const std::vector<quint32> &order)
{
    QList<FileItem> out;
    out.reserve(items.size());
    for (const quint32 i : order)
        out.append(items.at(i));
    return out;
}

// The whole list by its collation keys: for lists that are mostly unranked.
QList<FileItem> byKeys(const QList<FileItem> &items, const QLocale &locale)
{
    const int parts = partsFor(items.size());
    const Keys keys = keysOf(items, locale, parts);
    bool sorted = true;
    for (size_t i = 1; i < keys.size() && sorted; ++i)
        sorted = keys[i - 1]->compare(*keys[i]) <= 0;
    if (sorted)
        return items;
    return inOrder(items, keyOrder(keys, parts));
}

} // namespace

QCollator NameOrder::collator()
{
    return collatorFor(collationLocale());
}

void NameOrder::rank(QList<FileItem> &records)
{
    const qsizetype n = records.size();
    if (n == 0 || n > qsizetype(std::numeric_limits<quint32>::max()))
        return;
    const QLocale locale = collationLocale();
    const int parts = partsFor(n);
    const Keys keys = keysOf(records, locale, parts);
    const std::vector<quint32> order = keyOrder(keys, parts);
    std::vector<quint32> ranks(static_cast<size_t>(n));
    quint32 rank = 0;
    for (size_t k = 0; k < order.size(); ++k) {
        if (k > 0 && keys[order[k - 1]]->compare(*keys[order[k]]) != 0)
            ++rank;
        ranks[order[k]] = rank;
    }
    const quint16 ranking = rankings().add(locale);
    for (qsizetype i = 0; i < n; ++i)
        records[i].setNameRank(ranking, ranks[size_t(i)]);
}

QList<FileItem> NameOrder::sorted(const QList<FileItem> &items)
{
    const qsizetype n = items.size();
    if (n < 2)
        return items;
    const QLocale locale = collationLocale();
    // The ranking most of the records share, if one has a majority.
    quint16 ranking = 0;
    qsizetype votes = 0;
    for (const FileItem &item : items) {
        if (votes == 0)
            ranking = item.nameRanking();
        votes += item.nameRanking() == ranking ? 1 : -1;
    }
    if (ranking == 0 || !rankings().madeUnder(ranking, locale))
        return byKeys(items, locale);
    // Rank above, incoming index below: sorting these is the stable sort.
    std::vector<quint64> ranked;
    std::vector<quint32> loose;
    ranked.reserve(size_t(n));
    for (qsizetype i = 0; i < n; ++i) {
        const FileItem &item = items.at(i);
        if (item.nameRanking() == ranking)
            ranked.push_back(quint64(item.nameRank()) << 32 | quint64(i));
        else
            loose.push_back(quint32(i));
    }
    // Each loose record is placed by a binary search that makes keys as it goes.
    if (qsizetype(loose.size()) > 2048 + n / 256)
        return byKeys(items, locale);
    if (loose.empty()) {
        bool sorted = true;
        for (size_t k = 1; k < ranked.size() && sorted; ++k)
            sorted = (ranked[k - 1] >> 32) <= (ranked[k] >> 32);
        if (sorted)
            return items;
    }
    std::sort(ranked.begin(), ranked.end());
    const auto indexOf = [](quint64 entry) { return quint32(entry & 0xffffffffU); };

    const QCollator collator = collatorFor(locale);
    std::vector<QCollatorSortKey> looseKeys;
    looseKeys.reserve(loose.size());
    for (const quint32 i : loose)
        looseKeys.push_back(collator.sortKey(items.at(i).name()));
    std::vector<size_t> byKey(loose.size());
    std::iota(byKey.begin(), byKey.end(), size_t(0));
    std::sort(byKey.begin(), byKey.end(), [&](size_t a, size_t b) {
        const int c = looseKeys[a].compare(looseKeys[b]);
        return c != 0 ? c < 0 : loose[a] < loose[b];
    });

    QList<FileItem> out;
    out.reserve(n);
    size_t taken = 0; // of `ranked`
    for (const size_t k : byKey) {
        const quint32 u = loose[k];
        // The first ranked record that comes after u; loose records come in
        // order, so the search starts where the last one ended.
        auto after = std::partition_point(ranked.begin() + qsizetype(taken), ranked.end(), [&](quint64 entry) {
            const quint32 r = indexOf(entry);
            const int c = collator.sortKey(items.at(r).name()).compare(looseKeys[k]);
            return c != 0 ? c < 0 : r < u;
        });
        const size_t stop = size_t(after - ranked.begin());
        for (; taken < stop; ++taken)
            out.append(items.at(indexOf(ranked[taken])));
        out.append(items.at(u));
    }
    for (; taken < ranked.size(); ++taken)
        out.append(items.at(indexOf(ranked[taken])));
    return out;
}
