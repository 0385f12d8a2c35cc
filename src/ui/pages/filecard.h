#pragma once

#include "files/filelistdelegate.h"
#include "model/fileitem.h"

#include <QCache>
#include <QHash>
#include <QStaticText>
#include <QPixmap>
#include <QRectF>
#include <QObject>

class Thumbs;

// Paints one file of the grid: a 4:3 well with the thumbnail and the kind
// tag, the name and a line of size and date under it, the selection fill
// and ring, the hover surface and, on pictures, the "Copy text" button.
// Scaled thumbnails are kept as pixmaps so a repaint only copies them.
class FileCard final : public QObject, public FileListDelegate
{
    Q_OBJECT

public:
    static constexpr double kThumbSize = 220;
    static constexpr qreal kPadding = 7;
    static constexpr qreal kCornerRadius = 16;

    explicit FileCard(Thumbs &thumbs, QObject *parent = nullptr);

    void setDark(bool dark) override;

    // The card's height for a column `width` points wide.
    static qreal height(qreal width);
    static QRectF previewRect(const QRectF &card);
    // Where the hovered picture's "Copy text" button sits.
    static QRectF copyButtonRect(const QRectF &card);
    static bool showsCopyButton(const FileItem &item) { return item.kind() == Kind::image; }

    qreal cellHeight(qreal width) const override { return height(width); }
    double thumbSize() const override { return kThumbSize; }
    qreal focusRadius() const override { return kCornerRadius; }
    bool hovers() const override { return true; }
    void paintCell(QPainter &painter, const QRectF &card, const FileItem &item, bool selected,
                   qreal hover) const override;
    // The hovered picture's "Copy text" button copies its recognised text.
    bool pressPart(const QRectF &card, const FileItem &item, const QPointF &at, bool hovered) override;

private:
    // The thumbnail scaled into `frame`, with its drop shadow; null until the cache has it.
    QPixmap thumbnail(const FileItem &item, const QSizeF &frame, bool shadow) const;

    Thumbs &m_thumbs;
    bool m_dark = false;
    mutable QCache<QString, QPixmap> m_pixmaps;
    // Laid-out captions by file, for the column width they were made for.
    struct Caption
    {
        qreal width = -1;
        qint64 size = 0;
        Millis activity = 0;
        QStaticText name;
        QStaticText detail;
    };
    const Caption &caption(const FileItem &item, qreal width) const;
    mutable QHash<QByteArray, Caption> m_captions;
    QPixmap tag(const FileItem &item, const QPainter &painter) const;
    mutable QCache<QString, QPixmap> m_tags{200};
};
