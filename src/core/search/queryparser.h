#pragma once

#include "calendar.h"
#include "query.h"

#include <QString>
#include <QStringList>

// Reads plain-language search text ("pdfs from last week", "images over
// 5 mb") into a Query. A fixed pipeline over a lower-cased working copy:
// each recognised phrase is cut out once used, so later steps see only what
// earlier ones left, and the words that survive become kind words or terms.
// Pure: no state beyond constant tables and compiled patterns, built once.
class QueryParser final
{
public:
    // `sources` are the names of the catalog's download sources, in the
    // catalog's order; `now` is the current moment.
    static Query parse(const QString &text, const QStringList &sources, Millis now);
    static Query parse(const QString &text, const QStringList &sources, Millis now,
                       const Calendar &calendar);
};
