#include "chip.h"

size_t qHash(const Chip &chip, size_t seed)
{
    return qHashMulti(seed, chip.id, chip.label, chip.symbol);
}
