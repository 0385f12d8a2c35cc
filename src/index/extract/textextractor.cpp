#include "textextractor.h"

#include "cameraextractor.h"
#include "epubextractor.h"
#include "gzipextractor.h"
#include "indexstore.h"
#include "officeextractor.h"
#include "pdfextractor.h"
#include "plaintextextractor.h"
#include "rtfextractor.h"
#include "textsink.h"

namespace {

// Markup carries more bytes than text: read that much of it to fill the limit.
constexpr qint64 kMaxMarkupBytes = 16ll << 20;

} // namespace

ExtractResult TextExtractor::extract(const QByteArray &path, TextFamily family, const QString &lowerExt)
{
    ExtractResult out;
    TextSink sink(IndexStore::kMaxTextBytes);
    switch (family) {
    case TextFamily::none:
        out.ok = true;
        break;
    case TextFamily::plain:
        // A few bytes over, so the last character cut by the limit is still whole.
        out.ok = PlainTextExtractor::read(path, false, IndexStore::kMaxTextBytes + 4, sink);
        break;
    case TextFamily::html:
        out.ok = PlainTextExtractor::read(path, true, kMaxMarkupBytes, sink);
        break;
    case TextFamily::rtf:
        out.ok = RtfExtractor::read(path, kMaxMarkupBytes, sink);
        break;
    case TextFamily::pdf:
        out.ok = PdfExtractor::read(path, sink);
        break;
    case TextFamily::office:
        out.ok = OfficeExtractor::read(path, lowerExt, sink);
        break;
    case TextFamily::epub:
        out.ok = EpubExtractor::read(path, sink);
        break;
    case TextFamily::gzip:
        out.ok = GzipExtractor::read(path, IndexStore::kMaxTextBytes + 4, kMaxMarkupBytes, sink);
        break;
    case TextFamily::camera: {
        CameraExtractor::Camera camera;
        out.ok = CameraExtractor::read(path, camera);
        out.cameraMake = camera.make;
        out.cameraModel = camera.model;
        break;
    }
    }
    out.text = sink.take();
    return out;
}
