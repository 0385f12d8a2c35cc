#pragma once

#include <QByteArray>

class TextSink;

// The readable text of markup, without parsing it strictly: HTML as browsers
// meet it, and the XML inside office documents and e-books.
namespace MarkupText {

// Tags dropped, script and style bodies dropped, character references
// decoded; block-level tags become line breaks.
void html(const QByteArray &bytes, TextSink &sink);
// Element text in document order; the ends of paragraph-like elements
// (p, h, br, tr, li, si, text:p …) become line breaks, tabs become spaces.
// Bytes after a syntax error are still read as far as they make text.
void xml(const QByteArray &bytes, TextSink &sink);

} // namespace MarkupText
