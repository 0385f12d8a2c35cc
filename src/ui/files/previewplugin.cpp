// The previews plug-in: the first page of a PDF (poppler) and a frame of a
// video (ffmpegthumbnailer), opened by ThumbMaker on first use, since those
// libraries would otherwise be loaded by every start of the application.

#include <poppler/qt6/poppler-qt6.h>
#include <libffmpegthumbnailer/videothumbnailer.h>

#include <QFile>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <exception>
#include <memory>
#include <vector>

extern "C" Q_DECL_EXPORT void tovalo_preview_pdf_page(const QString &path, int pixels, QImage *result)
{
    std::unique_ptr<Poppler::Document> doc = Poppler::Document::load(path);
    if (!doc || doc->isLocked() || doc->numPages() < 1)
        return;
    std::unique_ptr<Poppler::Page> page = doc->page(0);
    if (!page)
        return;
    const QSizeF points = page->pageSizeF();
    if (points.isEmpty())
        return;
    doc->setRenderHint(Poppler::Document::Antialiasing);
    doc->setRenderHint(Poppler::Document::TextAntialiasing);
    const double dpi = 72.0 * pixels / std::max(points.width(), points.height());
    QImage out = page->renderToImage(dpi, dpi);
    if (out.isNull())
        return;
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
    *result = out;
}

extern "C" Q_DECL_EXPORT void tovalo_preview_video_frame(const QString &path, int pixels, QImage *result)
{
    std::vector<uint8_t> buffer;
    try {
        ffmpegthumbnailer::VideoThumbnailer thumbnailer(pixels, false, true, 8, true);
        thumbnailer.setLogCallback([](ThumbnailerLogLevel, const std::string &) {});
        thumbnailer.generateThumbnail(QFile::encodeName(path).toStdString(), Png, buffer);
    } catch (const std::exception &) {
        // Not a video the decoder knows, or unreadable: no frame.
        return;
    }
    QImage out;
    if (!buffer.empty() && out.loadFromData(buffer.data(), int(buffer.size()), "PNG"))
        *result = out;
}
