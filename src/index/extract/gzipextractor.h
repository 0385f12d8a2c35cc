#pragma once

#include <QByteArray>

class TextSink;

// Text kept gzip-compressed, as under /usr/share/doc and in manual-page
// folders: "notes.txt.gz", "index.html.gz", "ls.1.gz". The name without
// ".gz" decides what the inside is; manual pages lose their roff requests
// and escapes. Only as much is inflated as the index keeps, so a small file
// that inflates to gigabytes costs no more than a plain one.
class GzipExtractor final
{
public:
    // True with no text for an inside that holds none the index reads
    // ("archive.tar.gz", "scan.pdf.gz"); false for a file that is not sound gzip.
    static bool read(const QByteArray &path, qint64 maxTextBytes, qint64 maxMarkupBytes, TextSink &sink);
};
