#include "filelistlayout.h"

#include <algorithm>
#include <cmath>

int FileListLayout::columns(qreal width) const
{
    if (flow == Flow::rows)
        return 1;
    const qreal inner = width - 2 * sideMargin;
    return std::max(1, int(std::floor((inner + spacing) / (minColumn + spacing))));
}

qreal FileListLayout::columnWidth(qreal width) const
{
    const qreal inner = std::max<qreal>(0, width - 2 * sideMargin);
    if (flow == Flow::rows)
        return inner;
    const int n = columns(width);
    const qreal fitted = (inner - (n - 1) * spacing) / n;
    return std::clamp<qreal>(fitted, std::min<qreal>(minColumn, inner), maxColumn);
}

qreal FileListLayout::filesLeft(qreal width) const
{
    if (flow == Flow::rows)
        return sideMargin;
    const int n = columns(width);
    const qreal used = n * columnWidth(width) + (n - 1) * spacing;
    return sideMargin + std::max<qreal>(0, (width - 2 * sideMargin - used) / 2);
}
