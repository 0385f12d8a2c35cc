#pragma once

#include "model/fileitem.h"

#include <QList>

// Fields of a test record at `path`, with its extension and kind taken from the name.
FileItem::Fields fieldsFor(const QByteArray &path);
// The paths of `items`, in order.
QList<QByteArray> pathsOf(const QList<FileItem> &items);
