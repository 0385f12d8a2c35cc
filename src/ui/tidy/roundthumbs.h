#pragma once

#include "model/fileitem.h"

#include <QList>
#include <QPointF>
#include <QStringList>

class QPainter;
class Thumbs;

// The small overlapping round thumbnails of the clean-up tiles and source
// cards: each picture clipped to a circle and ringed in the surface colour,
// so where one overlaps the next the ring reads as a gap.
namespace RoundThumbs {

inline constexpr qreal kSide = 24;
inline constexpr qreal kRing = 1.5;
inline constexpr double kAskedFor = 64;

// Width of `count` thumbnails each overlapping the one before by `overlap`.
qreal width(qsizetype count, qreal overlap);
// The cache keys of the items' pictures, to know which arrivals to repaint for.
QStringList keys(const QList<FileItem> &items);
void request(Thumbs &thumbs, const QList<FileItem> &items);
// Left to right from `topLeft`, each later one on top of the one before.
// Applications and type icons are fitted (an icon must not be cropped), pictures fill.
void paint(QPainter &painter, const QPointF &topLeft, const QList<FileItem> &items, qreal overlap,
           const Thumbs &thumbs, bool dark);

} // namespace RoundThumbs
