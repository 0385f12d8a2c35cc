#include "thumbmaker.h"

#include "noatime.h"
#include "pluginloader.h"

#include <QFile>
#include <QImageReader>
#include <QLoggingCategory>

namespace {

Q_LOGGING_CATEGORY(lcPreviews, "tovalo.previews", QtInfoMsg)

// PDF pages and video frames come from a plug-in opened on first use.
using Render = void (*)(const QString &path, int pixels, QImage *out);

Render renderer(const char *symbol)
{
    QString why;
    auto found = reinterpret_cast<Render>(PluginLoader::resolve(QStringLiteral(TOVALO_PREVIEWS_PLUGIN), symbol, &why));
    if (!found)
        qCWarning(lcPreviews).noquote() << "PDF and video previews are off: the previews plug-in could not be loaded:"
                                        << why;
    return found;
}

} // namespace

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
    static const Render render = renderer("tovalo_preview_pdf_page");
    QImage out;
    if (render)
        render(path, pixels, &out);
    return out;
}

QImage videoFrame(const QString &path, int pixels)
{
    static const Render render = renderer("tovalo_preview_video_frame");
    QImage out;
    if (render)
        render(path, pixels, &out);
    return out;
}

} // namespace ThumbMaker
