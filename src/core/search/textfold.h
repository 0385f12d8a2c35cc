#pragma once

#include <QByteArrayView>
#include <QStringView>

#include <string>
#include <string_view>

// Case- and diacritic-insensitive comparison without a locale. Each
// character folds on its own (canonical decomposition, accents dropped, case
// folded) into UTF-8, and folded texts are compared as plain bytes: UTF-8
// never matches part of a character, so byte containment of folded texts is
// character containment. Folding character by character lets one table
// answer most of them and keeps every caller on the same definition.
class TextFold final
{
public:
    // What a fold drops. Every mode decomposes first, so a name written with
    // combining accents and one written with precomposed letters fold alike.
    enum class Mode
    {
        caseAndAccents,
        caseOnly,
        accentsOnly, // accents and the strokes of letters such as ø and ł
    };

    static std::string utf8(QStringView text);
    // Appends the folded form of a native file name, decoded as the
    // record's display name is; pure ASCII names skip decoding.
    static void appendName(QByteArrayView nativeName, std::string &out);
    // Whether folded `haystack` contains folded `needle`; an empty needle is
    // found nowhere.
    static bool contains(std::string_view haystack, std::string_view needle);
    // Appends the UTF-8 of one folded code point.
    static void appendPoint(char32_t c, Mode mode, std::string &out);
};
