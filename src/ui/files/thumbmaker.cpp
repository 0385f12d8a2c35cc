#include "thumbmaker.h"

#include "noatime.h"

#include <poppler/qt6/poppler-qt6.h>
#include <libffmpegthumbnailer/videothumbnailer.h>

#include <QFile>
#include <QImageReader>
#include <QPainter>

#include <algorithm>
#include <exception>
#include <memory>
#include <vector>

namespace ThumbMaker {

QImage image(const QString &path, int pixels)
{
    QFile file;
    if (!NoAtime::openForReading(file, QFile::encodeName(path)))
        return {};
    QImageReader reader(&file);
    reader.setAutoTransform(true);
    if (!reader.canRead())
        return {};
    QSize size = reader.size();
    // Decoding straight to the small size is what keeps a folder of camera
    // pictures quick; EXIF orientation swaps the sides after scaling.
    if (size.isValid() && (size.width() > pixels || size.height() > pixels)) {
        size.scale(pixels, pixels, Qt::KeepAspectRatio);
        reader.setScaledSize(size.expandedTo(QSize(1, 1)));
    }
    QImage out = reader.read();
    if (out.isNull())
        return {};
    if (out.width() > pixels || out.height() > pixels)
        out = out.scaled(pixels, pixels, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    return out;
}

QImage pdfPage(const QString &path, int pixels)
{
    std::unique_ptr<Poppler::Document> doc = Poppler::Document::load(path);
    if (!doc || doc->isLocked() || doc->numPages() < 1)
        return {};
    std::unique_ptr<Poppler::Page> page = doc->page(0);
    if (!page)
        return {};
    const QSizeF points = page->pageSizeF();
    if (points.isEmpty())
        return {};
    doc->setRenderHint(Poppler::Document::Antialiasing);
    doc->setRenderHint(Poppler::Document::TextAntialiasing);
    const double dpi = 72.0 * pixels / std::max(points.width(), points.height());
    QImage out = page->renderToImage(dpi, dpi);
    if (out.isNull())
        return {};
    // Pages are paper: a transparent render would show the well behind it.
    if (out.hasAlphaChannel()) {
        out = out.convertToFormat(QImage::Format_ARGB32_Premultiplied);
        QImage flat(out.size(), QImage::Format_RGB32);
        flat.fill(Qt::white);
        {
            QPainter p(&flat);
            p.drawImage(0, 0, out);
        }
        out = flat;
    }
    return out;
}

QImage videoFrame(const QString &path, int pixels)
{
    std::vector<uint8_t> buffer;
    try {
        ffmpegthumbnailer::VideoThumbnailer thumbnailer(pixels, false, true, 8, true);
        thumbnailer.setLogCallback([](ThumbnailerLogLevel, const std::string &) {});
        thumbnailer.generateThumbnail(QFile::encodeName(path).toStdString(), Png, buffer);
    } catch (const std::exception &) {
        // Not a video the decoder knows, or unreadable: no frame.
        return {};
    }
    QImage out;
    if (buffer.empty() || !out.loadFromData(buffer.data(), int(buffer.size()), "PNG"))
        return {};
    return out;
}

} // namespace ThumbMaker
