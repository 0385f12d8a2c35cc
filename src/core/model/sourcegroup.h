#pragma once

#include "fileitem.h"

#include <QList>
#include <QString>

// One download source with its files (catalog order) and their total size.
struct SourceGroup final
{
    QString name;
    QList<FileItem> items;
    qint64 size = 0;

    const QString &id() const { return name; }
    friend bool operator==(const SourceGroup &, const SourceGroup &) = default;

    // Groups records by source: more files first, ties by later name first.
    static QList<SourceGroup> build(const QList<FileItem> &items);
};
