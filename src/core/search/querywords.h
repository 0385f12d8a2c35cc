#pragma once

#include "model/kind.h"

#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>
#include <set>
#include <span>

// The fixed vocabulary of search text: kind words, stop words, count words
// and size units. Tables are built once and shared; every lookup is exact
// on lower-case text.
class QueryWords final
{
public:
    struct KindWord
    {
        std::set<Kind> kinds;
        QStringList exts;
        bool shots = false;
        QString label;
    };

    // The kind word `word` or, failing that, `word` without a trailing "s".
    static const KindWord *kindWord(const QString &word);
    static bool isStop(const QString &word);
    // A decimal integer in digits of any script; none when it does not fit 64 bits.
    static std::optional<qint64> decimalInteger(QStringView digits);
    // Digits or a count word ("a", "couple", "few", …); 1 for anything else.
    static qint64 count(const QString &word);
    // The byte count of a decimal number of a size unit ("kb", "m", …), read
    // exactly; none when it does not fit 64 bits or the unit is unknown.
    static std::optional<qint64> byteCount(const QString &number, const QString &unit);
    // The number words a size can be written with before a unit ("five mb").
    struct SizeNumber
    {
        const char16_t *word;
        int value;
    };
    static std::span<const SizeNumber> sizeNumbers();
};
