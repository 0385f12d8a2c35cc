#pragma once

#include "model/fileitem.h"

#include <QCollator>
#include <QList>

// The file browser's name order, made cheap for large lists: a catalog's
// records are ranked by name once, where the catalog is built, and a sort
// then compares ranks. Records without a usable rank (made elsewhere,
// ranked under another locale, from another ranking) are placed by their
// collation keys, so the order is always that of the collator alone.
class NameOrder final
{
public:
    // The comparison under the current locale: case-insensitive, digit runs
    // compared as numbers.
    static QCollator collator();

    // Ranks every record of `records` under the current locale. Meant for
    // records not yet shared with another thread: a shared record is copied.
    static void rank(QList<FileItem> &records);

    // `items` by name, stable: records whose names compare equal keep their
    // incoming order.
    static QList<FileItem> sorted(const QList<FileItem> &items);
};
