#pragma once

#include "fileitem.h"

#include <QString>

// Formatters shared by every page, so sizes, dates and paths read the same everywhere.
namespace Fmt {

// A byte count the way file browsers show file sizes: "1 byte", "12 KB", "3.2 MB", "1.25 GB".
QString bytes(qint64 count);
// "Zero KB" below one byte, else `bytes`.
QString size(qint64 count);
// A relative date in full units, "2 days ago" or "in 3 hours", against `now`.
QString relative(Millis date, Millis now);
// TOVALO_DEMO_HOME when set, else the user's home folder; read once.
const QString &home();
// `path` with a leading home folder shown as "~" (a plain prefix test).
QString path(const QString &path);
QString path(const QString &path, const QString &home);
// ISO 8601 in UTC with milliseconds, "2025-01-15T09:00:00.000Z".
QString iso(Millis date);
// The local day under a card or a row, "Jan 15, 2025" (month names in the locale's language).
QString shortDate(Millis date);

} // namespace Fmt
