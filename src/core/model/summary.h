#pragma once

#include "fileitem.h"

#include <QList>
#include <QString>

// The count-and-size line of page subtitles: "1,204 files · 3.1 GB",
// "1 app · Zero KB". The count uses the locale's grouping; the noun gets an
// "s" unless there is exactly one item.
QString summary(const QList<FileItem> &items, const QString &noun);
