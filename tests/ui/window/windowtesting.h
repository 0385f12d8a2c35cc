#pragma once

#include "library/library.h"
#include "model/fileitem.h"

#include <QList>

// A catalog over records held in memory: scans hand back `disk`, the clock
// stands still at kNow, timers run on the event loop and nothing is watched.
struct TestCatalog
{
    static constexpr Millis kNow = 1'750'000'000'000; // 2025-06-15T15:06:40Z
    static constexpr Millis kDay = 86'400'000;
    static constexpr const char *kHome = "/home/ana";

    QList<FileItem> disk;

    Library::Environment environment() const;
};

// A record at `path` (extension and kind from the name) of `size` bytes,
// modified and added `daysAgo` days before kNow.
FileItem record(const QByteArray &path, qint64 size = 1000, int daysAgo = 1);
// Rescans `library` and waits until the records are published.
void scanAndWait(Library &library);
