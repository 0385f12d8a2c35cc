#pragma once

#include <QByteArray>

class TextSink;

// Text of an EPUB book: its chapters in reading (spine) order, tags removed.
class EpubExtractor final
{
public:
    static bool read(const QByteArray &path, TextSink &sink);
};
