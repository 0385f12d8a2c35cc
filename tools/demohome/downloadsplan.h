#pragma once

#include "plancontext.h"

#include <QString>

// The Downloads folder: files saved from mail, chat, code hosting, design
// and storage services and from unknown sites, each with the where-from
// attributes a browser records; old installers, forgotten downloads, and
// copies of files kept elsewhere.
class DownloadsPlan final
{
public:
    explicit DownloadsPlan(PlanContext &ctx);
    void write();

private:
    void sourced();
    void unsourced();

    PlanContext &m_ctx;
    Rng m_rng;
};
