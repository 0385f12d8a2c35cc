#pragma once

#include "plancontext.h"

#include <QString>

// The Documents folder: office files, PDFs, notes, data files that share a
// length, archives, document packages, a web project with its dependency
// folder, and hidden clutter that must never be listed.
class DocumentsPlan final
{
public:
    explicit DocumentsPlan(PlanContext &ctx);
    void write();

    // The report that other folders hold copies of.
    static QString reportPath();

private:
    void work();
    void personal();
    void courses();
    void data();
    void archives();
    void packages();
    void project();
    void hidden();

    PlanContext &m_ctx;
    Rng m_rng;
};
