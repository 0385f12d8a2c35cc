#pragma once

#include <QImage>
#include <QString>

// The readers behind thumbnails and the preview panel: each makes a picture
// that fits a square of `pixels`, or a null image when the file is not of
// its kind or cannot be read. Safe on any thread.
namespace ThumbMaker {

QImage image(const QString &path, int pixels);
QImage pdfPage(const QString &path, int pixels);
QImage videoFrame(const QString &path, int pixels);

} // namespace ThumbMaker
