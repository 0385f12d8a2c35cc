#pragma once

#include "search/calendar.h"
#include "search/query.h"

#include <QDateTime>
#include <QTimeZone>

#include <ostream>

// Fixed time and place for date phrases: Wednesday 15 January 2025, 10:00 in Berlin.
namespace SearchTesting {

inline const QTimeZone &berlin()
{
    static const QTimeZone zone("Europe/Berlin");
    return zone;
}

inline Millis at(int year, int month, int day, int hour = 0, int minute = 0)
{
    return QDateTime(QDate(year, month, day), QTime(hour, minute), berlin()).toMSecsSinceEpoch();
}

inline Millis now()
{
    return at(2025, 1, 15, 10, 0);
}

inline Calendar mondays()
{
    return Calendar(berlin(), Qt::Monday);
}

inline Calendar sundays()
{
    return Calendar(berlin(), Qt::Sunday);
}

} // namespace SearchTesting

// Readable failures: every field, dates in Berlin time.
void PrintTo(const Query &q, std::ostream *os);
