#include "calendar.h"

#include <QLocale>

Calendar::Calendar(QTimeZone zone, Qt::DayOfWeek firstDayOfWeek)
    : m_zone(std::move(zone)), m_firstDay(firstDayOfWeek)
{
}

const Calendar &Calendar::current()
{
    // Making a time zone reads the zone database; a parse runs on every keystroke.
    static const Calendar c(QTimeZone::systemTimeZone(), QLocale().firstDayOfWeek());
    return c;
}

QDateTime Calendar::at(Millis instant) const
{
    return QDateTime::fromMSecsSinceEpoch(instant, m_zone);
}

QDate Calendar::dateOf(Millis instant) const
{
    return at(instant).date();
}

std::optional<Millis> Calendar::startOf(QDate date) const
{
    if (!date.isValid())
        return std::nullopt;
    const QDateTime start = date.startOfDay(m_zone);
    if (!start.isValid())
        return std::nullopt;
    return start.toMSecsSinceEpoch();
}

QDate Calendar::weekStart(QDate date) const
{
    const int back = (date.dayOfWeek() - int(m_firstDay) + 7) % 7;
    return date.addDays(-back);
}
