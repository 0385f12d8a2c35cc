#pragma once

#include "search/query.h"

#include <QLocale>
#include <QString>
#include <QStringList>
#include <QTimeZone>

// The launch mode that reads TOVALO_PARSE ("q1|q2|…"), prints what the
// parser makes of each query and ends the process. Needs no display.
class ParseMode final
{
public:
    static bool asked();
    // Prints one line per non-empty piece on standard output; the exit status.
    static int run();
    // The whole program: a core application, then run(). Touches no display.
    static int main(int argc, char **argv);

    // "parse | text | chip labels | from to to", dates as `abbreviated`, "-" when absent.
    static QString line(const QString &piece, const Query &query, const QLocale &locale, const QTimeZone &zone);
    // The locale's abbreviated date without time: "Jan 6, 2025" in English.
    static QString abbreviated(Millis instant, const QLocale &locale, const QTimeZone &zone);
    // The source names parse mode reads queries with.
    static QStringList sources();
};
