#pragma once

#include <QByteArray>

class TextSink;

// Text of a PDF, page by page, through poppler. Runs in the helper process:
// poppler on a hostile file may crash or spin.
class PdfExtractor final
{
public:
    static bool read(const QByteArray &path, TextSink &sink);
};
