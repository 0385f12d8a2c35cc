#pragma once

#include "plancontext.h"

// The Applications folder: bundles at the top, in a folder directly below it
// (found by the scanner), and two plain folders down (which it must not find).
class AppsPlan final
{
public:
    explicit AppsPlan(PlanContext &ctx);
    void write();

    // Writes `folder`/`name`.app with the parts a packaged application holds:
    // property list, launcher, icon and type code.
    static void bundle(PlanContext &ctx, Rng &rng, const QString &folder, const QString &name,
                       Millis date);

private:
    PlanContext &m_ctx;
};
