#include "textextractor.h"

#include "cameraextractor.h"
#include "epubextractor.h"
#include "indexstore.h"
#include "inprocessextractor.h"
#include "officeextractor.h"
#include "pdfextractor.h"
#include "textsink.h"

ExtractResult TextExtractor::extract(const QByteArray &path, TextFamily family, const QString &lowerExt)
{
    ExtractResult out;
    TextSink sink(IndexStore::kMaxTextBytes);
    switch (family) {
    case TextFamily::none:
    case TextFamily::plain:
    case TextFamily::html:
    case TextFamily::rtf:
    case TextFamily::gzip:
        return InProcessExtractor::extract(path, family);
    case TextFamily::pdf:
        out.ok = PdfExtractor::read(path, sink);
        break;
    case TextFamily::office:
        out.ok = OfficeExtractor::read(path, lowerExt, sink);
        break;
    case TextFamily::epub:
        out.ok = EpubExtractor::read(path, sink);
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
