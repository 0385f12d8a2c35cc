#include "sortkey.h"

#include "nameorder.h"

#include <algorithm>
#include <compare>
#include <numeric>
#include <vector>

namespace {

constexpr std::array<const char *, 4> kRawValues = {"Date", "Name", "Size", "Kind"};

int sign(std::strong_ordering order)
{
    return order < 0 ? -1 : (order > 0 ? 1 : 0);
}

// `items` reordered by `compare(i, j)` (negative, zero or positive for the
// records at indices i and j). Ties fall back to the incoming index, which
// makes the order total: the result is what a stable sort gives, at the speed
// of an unstable one over plain indices.
template <typename Compare> QList<FileItem> ordered(const QList<FileItem> &items, Compare compare)
{
    // Lists often arrive in this order already (the catalog and its search
    // results are newest first): one pass tells, and the shared list is kept.
    bool inOrder = true;
    for (qsizetype i = 1; i < items.size() && inOrder; ++i)
        inOrder = compare(i - 1, i) <= 0;
    if (inOrder)
        return items;
    std::vector<qsizetype> order(size_t(items.size()));
    std::iota(order.begin(), order.end(), qsizetype(0));
    std::sort(order.begin(), order.end(), [&](qsizetype a, qsizetype b) {
        const int c = compare(a, b);
        return c != 0 ? c < 0 : a < b;
    });
    QList<FileItem> out;
    out.reserve(items.size());
    for (const qsizetype i : order)
        out.append(items[i]);
    return out;
}

std::vector<Millis> activities(const QList<FileItem> &items)
{
    std::vector<Millis> out;
    out.reserve(size_t(items.size()));
    // A catalog ordered by date holds its records in no order of address:
    // the record a few places ahead is asked for early (its path's address
    // needs no load).
    constexpr qsizetype kAhead = 16;
    for (qsizetype i = 0; i < items.size(); ++i) {
        if (i + kAhead < items.size())
            __builtin_prefetch(&items.at(i + kAhead).path());
        out.push_back(items.at(i).activity());
    }
    return out;
}

} // namespace

std::optional<SortKey> SortKey::fromRawValue(QStringView raw)
{
    for (const Value value : all)
        if (raw == QLatin1StringView(kRawValues[value]))
            return SortKey(value);
    return std::nullopt;
}

QString SortKey::rawValue() const
{
    return QString::fromLatin1(kRawValues[m_value]);
}

QList<FileItem> SortKey::apply(const QList<FileItem> &items) const
{
    switch (m_value) {
    case date: {
        const std::vector<Millis> act = activities(items);
        return ordered(items, [&](qsizetype a, qsizetype b) { return sign(act[b] <=> act[a]); });
    }
    case name:
        return NameOrder::sorted(items);
    case size: {
        std::vector<qint64> sizes;
        sizes.reserve(size_t(items.size()));
        for (const FileItem &item : items)
            sizes.push_back(item.size());
        return ordered(items,
                       [&](qsizetype a, qsizetype b) { return sign(sizes[b] <=> sizes[a]); });
    }
    case kind: {
        const std::vector<Millis> act = activities(items);
        std::vector<QString> exts;
        exts.reserve(size_t(items.size()));
        for (const FileItem &item : items)
            exts.push_back(item.ext());
        return ordered(items, [&](qsizetype a, qsizetype b) {
            if (const int c = exts[a].compare(exts[b]))
                return c;
            return sign(act[b] <=> act[a]);
        });
    }
    }
    return items;
}
