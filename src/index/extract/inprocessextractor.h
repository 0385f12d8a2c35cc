#pragma once

#include "textextractor.h"

// Reads the families the indexer reads in its own process (plain text,
// HTML, RTF: parsers of our own), without linking the document libraries
// the helper process uses for the others.
class InProcessExtractor final
{
public:
    // `ok` false, and no text, for a family that is not read in process.
    static ExtractResult extract(const QByteArray &path, TextFamily family);
};
