#pragma once

#include "rng.h"
#include "treewriter.h"

#include <QString>

// What every part of the home plan shares: where files go, the seed's
// stream, the moment the home is made for, and whether to make the small home.
class PlanContext final
{
public:
    PlanContext(TreeWriter &tree, quint64 seed, Millis now, bool small);

    TreeWriter &tree() { return m_tree; }
    Millis now() const { return m_now; }
    bool small() const { return m_small; }
    // The stream of one part of the home, the same on every run with this seed.
    Rng stream(quint64 salt) const;

    // A whole-second date `days` before now.
    Millis daysAgo(double days) const;
    // A whole-second date picked between `minDays` and `maxDays` before now.
    Millis ago(Rng &rng, double minDays, double maxDays) const;
    // Text forms of a date in UTC, so that names do not depend on the machine's zone.
    static QString format(Millis date, const QString &pattern);

private:
    TreeWriter &m_tree;
    quint64 m_seed;
    Millis m_now;
    bool m_small;
};
