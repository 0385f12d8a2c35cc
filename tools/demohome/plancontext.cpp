#include "plancontext.h"

#include <QDateTime>
#include <QTimeZone>

PlanContext::PlanContext(TreeWriter &tree, quint64 seed, Millis now, bool small)
    : m_tree(tree), m_seed(seed), m_now(now / 1000 * 1000), m_small(small)
{
}

Rng PlanContext::stream(quint64 salt) const
{
    return Rng(m_seed).fork(salt);
}

Millis PlanContext::daysAgo(double days) const
{
    return (m_now - Millis(days * 86400.0) * 1000) / 1000 * 1000;
}

Millis PlanContext::ago(Rng &rng, double minDays, double maxDays) const
{
    const qint64 lo = qint64(minDays * 86400.0);
    const qint64 hi = qint64(maxDays * 86400.0);
    return m_now - rng.range(lo, hi) * 1000;
}

QString PlanContext::format(Millis date, const QString &pattern)
{
    return QDateTime::fromMSecsSinceEpoch(date, QTimeZone::utc()).toString(pattern);
}
