#include "records.h"

#include <QFile>

FileItem::Fields fieldsFor(const QByteArray &path)
{
    FileItem::Fields f;
    f.path = path;
    f.ext = lowerExtension(QFile::decodeName(path.mid(path.lastIndexOf('/') + 1)));
    f.kind = Kinds::of(f.ext);
    return f;
}

QList<QByteArray> pathsOf(const QList<FileItem> &items)
{
    QList<QByteArray> out;
    for (const FileItem &item : items)
        out.append(item.path());
    return out;
}
