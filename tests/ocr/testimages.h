#pragma once

#include <QByteArray>
#include <QColor>
#include <QList>
#include <QPoint>
#include <QSize>
#include <QString>

// Pictures drawn for the image-analysis tests.
namespace TestImages {

struct Text
{
    QPoint baseline;
    QString line;
};

// Writes a PNG of `size` with the lines drawn in a plain sans-serif face of
// `pixelSize`; `dark` draws light text on a dark background.
void writeText(const QByteArray &path, QSize size, const QList<Text> &texts, int pixelSize, bool dark = false);
// Writes a 640 x 480 PNG with `count` (1 or 2) drawn faces side by side:
// shaded eye sockets, brows, nose and mouth on an oval, softened, enough
// for a face detector to take them for faces.
void writeFaces(const QByteArray &path, int count);
// Writes a PNG filled with one colour.
void writeFilled(const QByteArray &path, QSize size, QColor colour);

} // namespace TestImages
