#pragma once

#include <QByteArray>

class TextSink;

// Text of an RTF document: control words and the groups that hold no text
// (fonts, colours, styles, pictures, document information) are dropped;
// \par and \line break lines; \'hh and \uN characters are decoded.
class RtfExtractor final
{
public:
    static bool read(const QByteArray &path, qint64 maxBytes, TextSink &sink);
    static void parse(const QByteArray &rtf, TextSink &sink);
};
