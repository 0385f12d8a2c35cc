#pragma once

#include <QImage>

// Soft shadows under floating shapes: three box blurs each way come close
// to a Gaussian of the same spread, at a fraction of its cost.
class SoftShadow final
{
public:
    // Blurs the alpha of a premultiplied black image in place, rounding
    // down after every pass.
    static void blurAlpha(QImage &image, int radius);
    // A black shadow of the opaque parts of `shape` at `opacity`, carried
    // in fractions between passes.
    static QImage of(const QImage &shape, int radius, qreal opacity);
};
