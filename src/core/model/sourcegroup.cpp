#include "sourcegroup.h"

#include <QHash>

#include <algorithm>

QList<SourceGroup> SourceGroup::build(const QList<FileItem> &items)
{
    QList<SourceGroup> groups;
    QHash<quint16, qsizetype> indexBySource;
    for (const FileItem &item : items) {
        const quint16 id = item.sourceId();
        if (id == StringPool::kNone)
            continue;
        auto it = indexBySource.constFind(id);
        if (it == indexBySource.cend()) {
            it = indexBySource.insert(id, groups.size());
            groups.append(SourceGroup{StringPool::text(id), {}, 0});
        }
        SourceGroup &g = groups[it.value()];
        g.items.append(item);
        g.size += item.size();
    }
    std::stable_sort(groups.begin(), groups.end(), [](const SourceGroup &a, const SourceGroup &b) {
        if (a.items.size() != b.items.size())
            return a.items.size() > b.items.size();
        return a.name > b.name;
    });
    return groups;
}
