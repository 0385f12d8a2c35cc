#pragma once

#include "plancontext.h"

// The whole demonstration home: every folder's plan in turn, the Desktop,
// the marker that lets a later run replace the home, and the folder dates.
class HomePlan final
{
public:
    explicit HomePlan(PlanContext &ctx);
    void write();

    // The hidden file that marks a folder as a demonstration home.
    static QString markerName();

private:
    void desktop();

    PlanContext &m_ctx;
};
