#pragma once

#include <QtGlobal>

// Where a file list view puts its cells: a grid of columns between a
// smallest and a largest width, centred once they reach their widest, or
// rows as wide as the view; under an optional header, inside margins. A
// list that does not scroll is as tall as its files (the home page's grid).
struct FileListLayout
{
    enum class Flow
    {
        grid,
        rows
    };

    Flow flow = Flow::rows;
    bool scrolls = true;
    qreal sideMargin = 0;
    qreal topMargin = 0;
    qreal bottomMargin = 0;
    // Between the header and the first cells.
    qreal headerSpacing = 0;
    // Between cells, across and down.
    qreal spacing = 0;
    qreal minColumn = 0;
    qreal maxColumn = 0;

    // For a view `width` points wide:
    int columns(qreal width) const;
    qreal columnWidth(qreal width) const;
    qreal filesLeft(qreal width) const;
};
