#pragma once

#include "freedesktoptrash.h"

#include <ostream>
#include <QByteArray>
#include <QList>
#include <QString>

// What the trash tests share: a trash with a fixed clock inside a temporary
// data folder, and plain byte-level looks at the disk (no QString in between,
// so names that are not UTF-8 are checked as they really are).
namespace TrashTesting {

// 2024-03-05 14:07:09 in Berlin: a fixed deletion date in an explicit zone.
QDateTime fixedNow();
QByteArray fixedNowText(); // as the records must carry it
FreedesktopTrash::Config config(const QByteArray &dataHome);

bool exists(const QByteArray &path);
QByteArray contents(const QByteArray &path);
// The names in a folder, sorted; empty when it cannot be read.
QList<QByteArray> entries(const QByteArray &folder);

} // namespace TrashTesting

// Readable failures: GoogleTest prints a QString as text, not as UTF-16 units.
void PrintTo(const QString &text, std::ostream *os);
