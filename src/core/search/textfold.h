#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <string>
#include <string_view>

// Case- and diacritic-insensitive comparison without a locale: both sides are
// folded (decomposed, accents dropped, case folded) and then compared as
// plain UTF-8 bytes. UTF-8 never matches part of a character, so byte
// containment of folded texts is character containment.
class TextFold final
{
public:
    static QString fold(QStringView text);
    static std::string utf8(QStringView text);
    // Appends the folded form of a native file name; pure ASCII names, the
    // common case, skip decoding altogether.
    static void appendName(QByteArrayView nativeName, std::string &out);
    // Whether folded `haystack` contains folded `needle`; an empty needle is
    // found nowhere.
    static bool contains(std::string_view haystack, std::string_view needle);
};
