#include "rng.h"

Rng::Rng(quint64 seed) : m_state(seed) {}

quint64 Rng::next()
{
    // splitmix64: tiny, fast and well mixed even for small neighbouring seeds.
    quint64 z = (m_state += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

qint64 Rng::range(qint64 lo, qint64 hi)
{
    if (hi <= lo)
        return lo;
    const quint64 span = quint64(hi - lo) + 1;
    return lo + qint64(next() % span);
}

double Rng::unit()
{
    return double(next() >> 11) * (1.0 / 9007199254740992.0);
}

bool Rng::chance(double p)
{
    return unit() < p;
}

qsizetype Rng::index(qsizetype count)
{
    return qsizetype(range(0, count - 1));
}

Rng Rng::fork(quint64 salt) const
{
    Rng mixer(m_state ^ (salt * 0xD1B54A32D192ED03ULL));
    return Rng(mixer.next());
}
