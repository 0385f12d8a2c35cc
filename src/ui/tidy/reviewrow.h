#pragma once

#include "files/filelistdelegate.h"

#include <QObject>
#include <QSet>

class FileRow;
class Thumbs;

// Paints one file of a review page: a tick (ticked = will go to the Trash)
// beside the file's list row. A click on the tick, Space or a screen
// reader's toggle asks the page to flip it.
class ReviewRow final : public QObject, public FileListDelegate
{
    Q_OBJECT

public:
    static constexpr qreal kTick = 30;
    static constexpr qreal kTickGap = 4;
    static constexpr qreal kTickSymbol = 16;

    explicit ReviewRow(Thumbs &thumbs, QObject *parent = nullptr);

    // The unticked files.
    void setSpared(const QSet<QByteArray> &spared) { m_spared = spared; }
    const QSet<QByteArray> &spared() const { return m_spared; }
    // Where the tick of the row at `row` lies.
    static QRectF tickRect(const QRectF &row);

    void setDark(bool dark) override;
    qreal cellHeight(qreal width) const override;
    double thumbSize() const override;
    qreal focusRadius() const override { return 8; }
    // The selection is a fill; the ring shows which tick Space flips.
    bool selectionShowsFocus() const override { return false; }
    void paintCell(QPainter &painter, const QRectF &row, const FileItem &item, bool selected,
                   qreal hover) const override;
    bool pressPart(const QRectF &row, const FileItem &item, const QPointF &at,
                   bool hovered) override;
    bool hasChecks() const override { return true; }
    std::optional<bool> checked(const FileItem &item) const override;
    void toggle(const FileItem &item) override;

signals:
    void tickClicked(const QByteArray &path);

private:
    FileRow *m_row;
    QSet<QByteArray> m_spared;
    bool m_dark = false;
};
