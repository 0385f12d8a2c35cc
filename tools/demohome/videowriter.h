#pragma once

#include "rng.h"
#include "treewriter.h"

#include <QByteArray>
#include <QString>

// The opening bytes of a video file: the container's real header boxes or
// elements, naming the length and title, then a few KiB of frame-like data.
// Written in front of a hole, they make a large video that costs no disk.
class VideoWriter final
{
public:
    // `ext` is "mp4", "m4v", "mov", "mkv" or "webm"; `size` is the whole file's length.
    static QByteArray head(const QString &ext, qint64 size, double seconds, Millis created,
                           const QString &title, Rng &rng);
};
