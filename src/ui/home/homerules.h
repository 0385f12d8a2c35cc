#pragma once

#include "analysis/cleanupcard.h"
#include "model/kind.h"

#include <QList>
#include <QMap>
#include <QString>

// The home page's decisions that need no widget: what it says, how many
// columns and files it shows at a width, how the prints of a shelf fan out
// and how wide each kind's share of the storage bar is.
namespace HomeRules {

inline constexpr qreal kColumnSpacing = 14;
inline constexpr qreal kNarrowBelow = 620;
inline constexpr qreal kRecentMinWidth = 150;
inline constexpr qreal kRecentMaxWidth = 240;
inline constexpr qreal kRecentSpacing = 8;
inline constexpr qreal kSegmentGap = 2;
inline constexpr qreal kMinSegment = 4;

// "Good morning" from 5 to 11 o'clock, "Good afternoon" from 12 to 16,
// "Good evening" otherwise.
QString greeting(int hour);
// The subtitle under the greeting: a holding line until the first scan is in,
// then "48,210 files · 212.4 GB across your computer".
QString summary(bool hasScanned, qsizetype files, qint64 totalSize);
// Columns of the shelf, clean-up and source grids: 2 below 620, else 3.
int columns(qreal width);
// Files in the "Fresh in" grid: ⌊(width + 8) / 158⌋, at least 3.
int recentsCount(qreal width);

// Where one print of a shelf lies: t is its place in the fan (0 in the
// middle), turned `angle` degrees about its centre and moved `dx` sideways
// and `dy` down.
struct PrintPose
{
    qreal t = 0;
    qreal angle = 0;
    qreal dx = 0;
    qreal dy = 0;
    friend bool operator==(const PrintPose &, const PrintPose &) = default;
};
// Print `index` of `count`; `hover` runs from 0 (resting) to 1 (pointed at)
// and opens the fan from 7° and 44 points per step to 12° and 56.
PrintPose printPose(int index, int count, qreal hover);
// The order to draw `count` prints in: the outer ones first, so the middle
// one lies on top.
QList<int> printOrder(int count);

// One kind's share of the storage bar, `x` and `width` across a bar `width` wide.
struct Segment
{
    Kind kind = Kind::other;
    qint64 bytes = 0;
    qreal x = 0;
    qreal width = 0;
    friend bool operator==(const Segment &, const Segment &) = default;
};
// Every kind with bytes, in kind order, each at least 4 points wide, 2 apart.
QList<Segment> storageSegments(const QMap<Kind, qint64> &sizeByKind, qreal width);

// Under a shelf: "Empty", or the count with the locale's grouping and, when
// the kind takes a byte or more, its size ("1,204 · 3.1 GB").
QString shelfCaption(qsizetype files, qint64 bytes);

// The clean-up cards with files, largest total first (ties keep card order),
// at most `count` of them.
QList<CleanupCard> cleanupTiles(const QList<CleanupCard> &cards, int count);

} // namespace HomeRules
