#pragma once

#include "model/fileitem.h"

struct statx;
struct statx_timestamp;

// The three dates of a file from one statx: modified is the modification
// time; created the birth time, or the modification time when it is earlier
// or unknown; added the status-change time (a move or a download's rename
// sets it), or created when unknown or in a demonstration home.
struct FileDates final
{
    Millis modified = kDistantPast;
    Millis created = kDistantPast;
    Millis added = kDistantPast;

    static FileDates of(const struct statx &st);
    static Millis millis(const struct statx_timestamp &t);
    // The fields `of` reads.
    static unsigned statMask();
};
