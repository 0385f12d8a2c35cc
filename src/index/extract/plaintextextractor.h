#pragma once

#include <QByteArray>

class TextSink;

// Text files and source code as they are, and HTML without its tags. A file
// that turns out to be binary gives no text.
class PlainTextExtractor final
{
public:
    static bool read(const QByteArray &path, bool isHtml, qint64 maxBytes, TextSink &sink);
};
