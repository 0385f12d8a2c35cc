#pragma once

#include "model/fileitem.h"

#include <optional>
#include <QPointF>
#include <QRectF>

class QPainter;

// How a file list view draws one file and what its parts do: a card, a row,
// a review row with its tick. The view places the cells, scrolls, hovers,
// selects, drags and asks for thumbnails; the delegate only paints a cell
// and answers for the parts of it that have an action of their own.
class FileListDelegate
{
public:
    virtual ~FileListDelegate() = default;

    virtual void setDark(bool dark) = 0;
    // The cell's height for a column `width` points wide.
    virtual qreal cellHeight(qreal width) const = 0;
    // The thumbnail size the cell draws, asked for while it is in view.
    virtual double thumbSize() const = 0;
    // The focus ring's corner radius around a cell.
    virtual qreal focusRadius() const = 0;
    // Whether the pointer over a cell shows (cards lift, rows stay flat).
    virtual bool hovers() const { return false; }
    // Whether a selected cell already shows where the keyboard is.
    virtual bool selectionShowsFocus() const { return true; }

    // `hover` runs 0 → 1 as the pointer comes in.
    virtual void paintCell(QPainter &painter, const QRectF &cell, const FileItem &item,
                           bool selected, qreal hover) const = 0;

    // A press at `at` on a part with an action of its own (a copy button, a
    // tick) does that action and returns true; elsewhere it returns false.
    virtual bool pressPart(const QRectF &, const FileItem &, const QPointF &, bool /*hovered*/)
    {
        return false;
    }

    // Whether the cells are check boxes, and whether one is ticked.
    virtual bool hasChecks() const { return false; }
    virtual std::optional<bool> checked(const FileItem &) const { return std::nullopt; }
    virtual void toggle(const FileItem &) {}
};
