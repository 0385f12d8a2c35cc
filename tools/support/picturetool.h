#pragma once

#include "library/library.h"

#include <QString>

#include <optional>

// What the page-picture tools share: their arguments, a catalog of the folder
// tree they picture, and waiting until thumbnails and animations are done.
class PictureTool final
{
public:
    struct Arguments
    {
        QString home;
        QString out;
    };

    // HOME OUTDIR, with OUTDIR created; none after a usage line on stderr.
    static std::optional<Arguments> arguments(int argc, char **argv, const char *tool);
    // A catalog of `home`'s standard folders and applications that neither
    // watches folders, stores settings nor reads text in images.
    static Library::Environment environment(const QString &home);
    // Until the first scan (and, when asked, the duplicate search) is in.
    static void waitForScan(const Library &library, bool duplicates);
    // Runs events for `ms` milliseconds, letting thumbnail jobs finish.
    static void settle(int ms);
};
