#include "filedates.h"

#include "diskrules.h"

#include <algorithm>
#include <fcntl.h>
#include <sys/stat.h>

FileDates FileDates::of(const struct statx &st)
{
    FileDates d;
    d.modified = (st.stx_mask & STATX_MTIME) ? millis(st.stx_mtime) : kDistantPast;
    // A copy keeps its modification date but gets a new birth time: the earlier one is the truth.
    d.created = (st.stx_mask & STATX_BTIME) ? std::min(millis(st.stx_btime), d.modified) : d.modified;
    if (DiskRules::demoDates())
        d.added = d.created;
    else
        d.added = (st.stx_mask & STATX_CTIME) ? millis(st.stx_ctime) : d.created;
    return d;
}

Millis FileDates::millis(const struct statx_timestamp &t)
{
    return Millis(t.tv_sec) * 1000 + Millis(t.tv_nsec) / 1000000;
}

unsigned FileDates::statMask()
{
    return STATX_MTIME | STATX_BTIME | STATX_CTIME;
}
