#pragma once

// The user's index settings in the defaults store: "indexEnabled" (default
// true; off means the wide search finds nothing) and "indexPaused" (default false).
class IndexSettings final
{
public:
    static bool enabled();
    static void setEnabled(bool on);
    static bool paused();
    static void setPaused(bool on);
};
