#include "dupgroup.h"

QList<FileItem> DupGroup::extras() const
{
    QList<FileItem> out;
    for (const FileItem &item : items)
        if (item.path() != keep)
            out.append(item);
    return out;
}

qint64 DupGroup::wasted() const
{
    qint64 total = 0;
    for (const FileItem &item : items)
        if (item.path() != keep)
            total += item.size();
    return total;
}
