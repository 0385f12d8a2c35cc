#pragma once

#include "model/fileitem.h"

#include <QList>
#include <QString>

// One set of byte-for-byte identical files, best copy first, with the copy that stays.
struct DupGroup final
{
    QString id;
    QList<FileItem> items;
    QByteArray keep; // path of the copy that stays

    // Every copy but the kept one, in item order.
    QList<FileItem> extras() const;
    // Bytes the extras take.
    qint64 wasted() const;

    friend bool operator==(const DupGroup &, const DupGroup &) = default;
};
