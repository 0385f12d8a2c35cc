#include "firstpaint.h"
#include "launchoptions.h"
#include "parsemode.h"
#include "tovaloapp.h"

#include <cstdio>

int main(int argc, char **argv)
{
    FirstPaint::markStart();
    // Help and the version need no display, so they are answered before anything else.
    switch (LaunchOptions::early(argc, argv).action()) {
    case LaunchOptions::Action::help:
        std::fputs(qPrintable(LaunchOptions::helpText()), stdout);
        return 0;
    case LaunchOptions::Action::version:
        std::fputs(qPrintable(LaunchOptions::versionText()), stdout);
        return 0;
    default:
        break;
    }
    // Parse mode needs no window, so it must not need a display either:
    // it runs on a core application before anything touches the window system.
    if (ParseMode::asked())
        return ParseMode::main(argc, argv);
    if (TovaloApp::displayMissing()) {
        std::fputs("tovalo: no display to open a window on (DISPLAY and WAYLAND_DISPLAY are unset); "
                   "TOVALO_PARSE=\"query|query\" runs without one, and tovalo-cli reads and searches the "
                   "catalog from a terminal\n",
                   stderr);
        return 1;
    }
    TovaloApp app(argc, argv);
    return app.run();
}
