#include "pdfextractor.h"

#include "textsink.h"

#include <poppler-document.h>
#include <poppler-global.h>
#include <poppler-page.h>

#include <memory>

namespace {

void quiet(const std::string &, void *) {}

} // namespace

bool PdfExtractor::read(const QByteArray &path, TextSink &sink)
{
    // poppler's complaints about damaged files are not ours to print.
    poppler::set_debug_error_function(quiet, nullptr);
    std::unique_ptr<poppler::document> doc(poppler::document::load_from_file(path.toStdString()));
    if (!doc || doc->is_locked())
        return false;
    const int pages = doc->pages();
    for (int i = 0; i < pages && !sink.isFull(); ++i) {
        std::unique_ptr<poppler::page> page(doc->create_page(i));
        if (!page)
            continue;
        const poppler::byte_array utf8 = page->text().to_utf8();
        sink.append(QString::fromUtf8(utf8.data(), qsizetype(utf8.size())));
        sink.breakLine();
    }
    return true;
}
