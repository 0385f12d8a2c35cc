#pragma once

#include <QByteArray>

class TextSink;

// Text of OOXML (docx, xlsx, pptx) and ODF (odt, ods, odp) documents: the
// XML parts that hold the document's words, in reading order.
class OfficeExtractor final
{
public:
    // False when the file is not a readable document of its kind.
    static bool read(const QByteArray &path, const QString &lowerExt, TextSink &sink);
};
