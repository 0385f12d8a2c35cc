#pragma once

#include "plancontext.h"

#include <QString>

// Pictures, Videos and Music: camera photos by year with a few copies,
// screenshots named the way Linux tools name them, pictures of printed text,
// sparse large videos, small clips, albums and voice memos.
class MediaPlan final
{
public:
    explicit MediaPlan(PlanContext &ctx);
    void write();

    // A short clip that a download elsewhere is a copy of.
    static QString clipPath();
    // The names screenshot tools give a capture taken at `date`: 0 GNOME,
    // 1 KDE Spectacle, 2 the older "Screen Shot … at …" style.
    static QString screenshotName(int style, Millis date);

private:
    void screenshots();
    void camera();
    void printed();
    void library();
    void videos();
    void music();

    PlanContext &m_ctx;
    Rng m_rng;
};
