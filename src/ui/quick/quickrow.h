#pragma once

#include "files/filelistdelegate.h"

class Thumbs;

// Paints one file of the Quick Search panel: thumbnail, name over folder,
// the date on the right, and the marker behind the row the keys are on.
class QuickRow final : public FileListDelegate
{
public:
    static constexpr double kThumbSize = 80;
    static constexpr qreal kRadius = 9;

    explicit QuickRow(Thumbs &thumbs) : m_thumbs(thumbs) {}

    // Seven rows share the panel's room; the panel says how tall each is.
    void setHeight(qreal height) { m_height = height; }

    void setDark(bool dark) override { m_dark = dark; }
    qreal cellHeight(qreal) const override { return m_height; }
    double thumbSize() const override { return kThumbSize; }
    qreal focusRadius() const override { return kRadius; }
    void paintCell(QPainter &painter, const QRectF &row, const FileItem &item, bool selected,
                   qreal hover) const override;

private:
    Thumbs &m_thumbs;
    qreal m_height = 44;
    bool m_dark = false;
};
