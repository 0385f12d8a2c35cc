#include "kindfacets.h"

#include <QHash>

#include <algorithm>

QList<KindFacets::Facet> KindFacets::facets(const QList<FileItem> &all)
{
    QHash<QString, int> counts;
    for (const FileItem &item : all)
        ++counts[item.ext()];
    QList<Facet> out;
    out.reserve(counts.size());
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        out.append({it.key(), it.value()});
    std::sort(out.begin(), out.end(), [](const Facet &a, const Facet &b) {
        if (a.count != b.count)
            return a.count > b.count;
        return a.ext < b.ext;
    });
    return out;
}

std::optional<QString> KindFacets::effective(const std::optional<QString> &picked, const QList<Facet> &facets)
{
    if (!picked)
        return std::nullopt;
    const bool present = std::any_of(facets.begin(), facets.end(),
                                     [&](const Facet &facet) { return facet.ext == *picked; });
    return present ? picked : std::nullopt;
}

QList<FileItem> KindFacets::shown(const QList<FileItem> &all, const std::optional<QString> &effective)
{
    if (!effective)
        return all;
    QList<FileItem> out;
    for (const FileItem &item : all) {
        if (item.ext() == *effective)
            out.append(item);
    }
    return out;
}

std::optional<QString> KindFacets::clicked(const std::optional<QString> &picked, const QString &ext)
{
    if (picked == ext)
        return std::nullopt;
    return ext;
}

QString KindFacets::title(const QString &ext)
{
    return ext.isEmpty() ? QStringLiteral("No extension") : ext.toUpper();
}
