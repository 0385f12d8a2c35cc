#pragma once

#include <QtGlobal>

// A seeded number stream that gives the same values on every compiler and
// standard library (the std distributions do not), so a seed always makes the
// same home.
class Rng final
{
public:
    explicit Rng(quint64 seed);

    quint64 next();
    // Uniform in [lo, hi], both included.
    qint64 range(qint64 lo, qint64 hi);
    // Uniform in [0, 1).
    double unit();
    bool chance(double p);
    // An index into a list of `count` entries (count > 0).
    qsizetype index(qsizetype count);
    // An independent stream for one part of the home, so that adding files to
    // one folder does not change what another folder gets.
    Rng fork(quint64 salt) const;

private:
    quint64 m_state;
};
