#include "textfold.h"

#include <QFile>

#include <cstring>

namespace {

// Letters whose accent is part of the letter itself, so decomposition leaves
// them alone although readers see a plain letter with a stroke.
char32_t unstroked(char32_t c)
{
    switch (c) {
    case U'ø': return U'o';
    case U'Ø': return U'O';
    case U'ł': return U'l';
    case U'Ł': return U'L';
    case U'đ': return U'd';
    case U'Đ': return U'D';
    case U'ħ': return U'h';
    case U'Ħ': return U'H';
    case U'ŧ': return U't';
    case U'Ŧ': return U'T';
    case U'ƀ': return U'b';
    case U'ɨ': return U'i';
    default: return c;
    }
}

bool isAscii(QStringView text)
{
    for (QChar c : text)
        if (c.unicode() >= 0x80)
            return false;
    return true;
}

} // namespace

QString TextFold::fold(QStringView text)
{
    if (isAscii(text)) {
        QString out = text.toString();
        for (QChar &c : out)
            if (c >= u'A' && c <= u'Z')
                c = QChar(c.unicode() + 32);
        return out;
    }
    const QString decomposed = text.toString().normalized(QString::NormalizationForm_D);
    QString bare;
    bare.reserve(decomposed.size());
    const auto points = decomposed.toUcs4();
    for (const char32_t c : points) {
        if (QChar::category(c) == QChar::Mark_NonSpacing)
            continue;
        const char32_t plain = unstroked(c);
        if (QChar::requiresSurrogates(plain)) {
            bare.append(QChar(QChar::highSurrogate(plain)));
            bare.append(QChar(QChar::lowSurrogate(plain)));
        } else {
            bare.append(QChar(char16_t(plain)));
        }
    }
    return bare.toCaseFolded();
}

std::string TextFold::utf8(QStringView text)
{
    const QByteArray bytes = fold(text).toUtf8();
    return std::string(bytes.constData(), size_t(bytes.size()));
}

void TextFold::appendName(QByteArrayView nativeName, std::string &out)
{
    bool ascii = true;
    for (const char c : nativeName)
        if (static_cast<unsigned char>(c) >= 0x80) {
            ascii = false;
            break;
        }
    if (ascii) {
        const size_t start = out.size();
        out.append(nativeName.data(), size_t(nativeName.size()));
        for (size_t i = start; i < out.size(); ++i)
            if (out[i] >= 'A' && out[i] <= 'Z')
                out[i] = char(out[i] + 32);
        return;
    }
    const QByteArray folded = fold(QFile::decodeName(nativeName.toByteArray())).toUtf8();
    out.append(folded.constData(), size_t(folded.size()));
}

bool TextFold::contains(std::string_view haystack, std::string_view needle)
{
    if (needle.empty() || needle.size() > haystack.size())
        return false;
    return ::memmem(haystack.data(), haystack.size(), needle.data(), needle.size()) != nullptr;
}
