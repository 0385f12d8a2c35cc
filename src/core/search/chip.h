#pragma once

#include <QHashFunctions>
#include <QString>

// One recognised filter of a search, shown as a toggle. The id names the
// filter ("kind", "date", "size", "source", "device" or "text:" + term) and is
// what switching the chip off refers to.
struct Chip final
{
    QString id;
    QString label;
    QString symbol;

    friend bool operator==(const Chip &, const Chip &) = default;
};

size_t qHash(const Chip &chip, size_t seed = 0);
