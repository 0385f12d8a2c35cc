#pragma once

#include <QStringView>

// How the text (or camera facts) of a file is read, decided by its extension.
enum class TextFamily : quint8 {
    none = 0,
    plain = 1,  // text files and source code, read as they are
    html = 2,   // tags removed
    rtf = 3,
    pdf = 4,
    office = 5, // OOXML and ODF documents: XML inside a zip
    epub = 6,
    camera = 7, // images: the camera's make and model from EXIF
    gzip = 8,   // text, HTML and manual pages kept gzip-compressed
};

namespace TextFamilies {

TextFamily of(QStringView lowerExt);
// Families whose readers are third-party parsers of untrusted files: read in
// the helper process, where a crash or a hang costs only that file.
bool isRisky(TextFamily family);

} // namespace TextFamilies
