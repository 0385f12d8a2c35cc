#pragma once

#include "library/library.h"
#include "model/fileitem.h"

#include <QList>

#include <memory>

// A catalog of the given records, scanned once (or not at all), with no
// folders watched and no analyses after the scan.
std::unique_ptr<Library> catalogOf(const QList<FileItem> &records, bool scan = true);
// A record at `path` with its kind from the name and `day` days after 2025-01-01 UTC as its dates.
FileItem record(const QByteArray &path, int day);
