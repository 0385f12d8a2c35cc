#pragma once

#include "model/fileitem.h"

#include <QDate>
#include <QDateTime>
#include <QTimeZone>

#include <optional>

// The user's calendar as date phrases need it: the time zone that decides
// where a day starts and the weekday that starts a week. A value, so a test
// can name both instead of taking the machine's.
class Calendar final
{
public:
    Calendar(QTimeZone zone, Qt::DayOfWeek firstDayOfWeek);
    // The system time zone and the locale's first weekday, read once.
    static const Calendar &current();

    const QTimeZone &zone() const { return m_zone; }
    Qt::DayOfWeek firstDayOfWeek() const { return m_firstDay; }

    QDateTime at(Millis instant) const;
    QDate dateOf(Millis instant) const;
    // The first instant of `date` here; none when the calendar cannot make it.
    std::optional<Millis> startOf(QDate date) const;
    // The first day of the week that contains `date`.
    QDate weekStart(QDate date) const;

private:
    QTimeZone m_zone;
    Qt::DayOfWeek m_firstDay;
};
