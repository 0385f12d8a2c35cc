#include "inprocessextractor.h"

#include "gzipextractor.h"
#include "indexstore.h"
#include "plaintextextractor.h"
#include "rtfextractor.h"
#include "textsink.h"

namespace {

// Markup carries more bytes than text: read that much of it to fill the limit.
constexpr qint64 kMaxMarkupBytes = 16ll << 20;

} // namespace

ExtractResult InProcessExtractor::extract(const QByteArray &path, TextFamily family)
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
    case TextFamily::gzip:
        out.ok = GzipExtractor::read(path, IndexStore::kMaxTextBytes + 4, kMaxMarkupBytes, sink);
        break;
    case TextFamily::pdf:
    case TextFamily::office:
    case TextFamily::epub:
    case TextFamily::camera:
        break;
    }
    out.text = sink.take();
    return out;
}
