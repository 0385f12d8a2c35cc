#include "homerules.h"

#include "model/fmt.h"

#include <algorithm>
#include <cmath>
#include <QLocale>

namespace HomeRules {

namespace {

constexpr qreal kRestAngle = 7;
constexpr qreal kHoverAngle = 12;
constexpr qreal kRestShift = 44;
constexpr qreal kHoverShift = 56;
constexpr qreal kDrop = 6;

qint64 bytesOf(const CleanupCard &card)
{
    qint64 sum = 0;
    for (const FileItem &item : card.items)
        sum += item.size();
    return sum;
}

} // namespace

QString greeting(int hour)
{
    if (hour >= 5 && hour <= 11)
        return QStringLiteral("Good morning");
    if (hour >= 12 && hour <= 16)
        return QStringLiteral("Good afternoon");
    return QStringLiteral("Good evening");
}

QString summary(bool hasScanned, qsizetype files, qint64 totalSize)
{
    if (!hasScanned)
        return QStringLiteral("Getting to know your files");
    return QLocale().toString(qint64(files)) + (files == 1 ? QStringLiteral(" file · ") : QStringLiteral(" files · ")) +
           Fmt::size(totalSize) + QStringLiteral(" across your computer");
}

int columns(qreal width)
{
    return width < kNarrowBelow ? 2 : 3;
}

int recentsCount(qreal width)
{
    const qreal fit = std::floor((width + kRecentSpacing) / (kRecentMinWidth + kRecentSpacing));
    return std::max(3, fit > 0 ? int(fit) : 0);
}

PrintPose printPose(int index, int count, qreal hover)
{
    PrintPose pose;
    pose.t = count <= 1 ? 0.0 : index - (count - 1) / 2.0;
    const qreal h = std::clamp<qreal>(hover, 0, 1);
    pose.angle = pose.t * (kRestAngle + (kHoverAngle - kRestAngle) * h);
    pose.dx = pose.t * (kRestShift + (kHoverShift - kRestShift) * h);
    pose.dy = std::abs(pose.t) * kDrop;
    return pose;
}

QList<int> printOrder(int count)
{
    QList<int> order;
    for (int i = 0; i < count; ++i)
        order.append(i);
    std::stable_sort(order.begin(), order.end(), [count](int a, int b) {
        return std::abs(printPose(a, count, 0).t) > std::abs(printPose(b, count, 0).t);
    });
    return order;
}

QList<Segment> storageSegments(const QMap<Kind, qint64> &sizeByKind, qreal width)
{
    QList<Segment> out;
    qint64 sum = 0;
    for (Kind kind : Kinds::all) {
        const qint64 bytes = sizeByKind.value(kind, 0);
        if (bytes > 0) {
            out.append({kind, bytes, 0, 0});
            sum += bytes;
        }
    }
    const double total = sum < 2 ? 1.0 : double(sum);
    const qreal room = width - (out.size() - 1) * kSegmentGap;
    qreal x = 0;
    for (Segment &segment : out) {
        segment.x = x;
        segment.width = std::max<qreal>(room * (double(segment.bytes) / total), kMinSegment);
        x += segment.width + kSegmentGap;
    }
    return out;
}

QString shelfCaption(qsizetype files, qint64 bytes)
{
    if (files == 0)
        return QStringLiteral("Empty");
    QString out = QLocale().toString(qint64(files));
    if (bytes >= 1)
        out += QStringLiteral(" · ") + Fmt::size(bytes);
    return out;
}

QList<CleanupCard> cleanupTiles(const QList<CleanupCard> &cards, int count)
{
    QList<std::pair<qint64, CleanupCard>> sized;
    for (const CleanupCard &card : cards) {
        if (!card.items.isEmpty())
            sized.append({bytesOf(card), card});
    }
    std::stable_sort(sized.begin(), sized.end(),
                     [](const auto &a, const auto &b) { return a.first > b.first; });
    QList<CleanupCard> out;
    for (const auto &entry : sized) {
        if (out.size() >= count)
            break;
        out.append(entry.second);
    }
    return out;
}

} // namespace HomeRules
