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

// Paints one file of the list: a small thumbnail, the name, the download
// source, the folder, the size and the date in fixed columns, on a selection
// fill when selected. Rows have no hover effect.
class FileRow final : public QObject, public FileListDelegate
{
    Q_OBJECT

public:
    static constexpr double kThumbSize = 64;
    static constexpr qreal kHeight = 40;

    explicit FileRow(Thumbs &thumbs, QObject *parent = nullptr);

    void setDark(bool dark) override { m_dark = dark; }
    qreal cellHeight(qreal) const override { return kHeight; }
    double thumbSize() const override { return kThumbSize; }
    qreal focusRadius() const override { return 6; }

    void paintCell(QPainter &painter, const QRectF &row, const FileItem &item, bool selected,
                   qreal hover) const override;

private:
    QPixmap thumbnail(const FileItem &item, qreal side) const;

    Thumbs &m_thumbs;
    bool m_dark = false;
    mutable QCache<QString, QPixmap> m_pixmaps;
    // Laid-out texts by file, for the row width they were made for.
    struct Texts
    {
        qreal width = -1;
        qint64 size = 0;
        Millis activity = 0;
        QStaticText name;
        QStaticText source;
        qreal sourceWidth = 0;
        QStaticText folder;
        QStaticText bytes;
        qreal bytesWidth = 0;
        QStaticText date;
        qreal dateWidth = 0;
    };
    const Texts &texts(const FileItem &item, qreal width) const;
    mutable QHash<QByteArray, Texts> m_texts;
};
