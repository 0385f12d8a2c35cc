#include "textfold.h"

#include <QFile>
#include <QString>

#include <array>
#include <cstring>

namespace {

// Letters whose stroke is part of the letter, so decomposition leaves them
// alone although readers see a plain letter with a mark.
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

QByteArray foldPoint(char32_t c, TextFold::Mode mode)
{
    const QString decomposed = QString::fromUcs4(&c, 1).normalized(QString::NormalizationForm_D);
    QString kept;
    for (const char32_t p : decomposed.toUcs4()) {
        if (mode == TextFold::Mode::caseOnly) {
            kept.append(QString::fromUcs4(&p, 1));
            continue;
        }
        if (QChar::category(p) == QChar::Mark_NonSpacing)
            continue;
        const char32_t plain = unstroked(p);
        kept.append(QString::fromUcs4(&plain, 1));
    }
    if (mode != TextFold::Mode::accentsOnly)
        kept = kept.toCaseFolded();
    return kept.toUtf8();
}

// Latin, Greek, Cyrillic, Hebrew, Arabic, Indic and the punctuation blocks:
// almost every character of a file name, folded once per process and mode.
constexpr char32_t kTabled = 0x3000;

struct Table
{
    std::string bytes;
    std::array<quint32, kTabled + 1> offsets{};

    explicit Table(TextFold::Mode mode)
    {
        for (char32_t c = 0; c < kTabled; ++c) {
            offsets[c] = quint32(bytes.size());
            if (c >= 0xD800 && c < 0xE000)
                continue; // surrogates are never a character of their own
            const QByteArray folded = foldPoint(c, mode);
            bytes.append(folded.constData(), size_t(folded.size()));
        }
        offsets[kTabled] = quint32(bytes.size());
    }
};

const Table &table(TextFold::Mode mode)
{
    switch (mode) {
    case TextFold::Mode::caseOnly: {
        static const Table t(TextFold::Mode::caseOnly);
        return t;
    }
    case TextFold::Mode::accentsOnly: {
        static const Table t(TextFold::Mode::accentsOnly);
        return t;
    }
    case TextFold::Mode::caseAndAccents:
        break;
    }
    static const Table t(TextFold::Mode::caseAndAccents);
    return t;
}

inline void appendFolded(char32_t c, TextFold::Mode mode, std::string &out)
{
    if (c < 0x80) {
        const bool lower = mode != TextFold::Mode::accentsOnly && c >= 'A' && c <= 'Z';
        out.push_back(lower ? char(c + 32) : char(c));
        return;
    }
    if (c < kTabled && (c < 0xD800 || c >= 0xE000)) {
        const Table &t = table(mode);
        out.append(t.bytes, t.offsets[c], t.offsets[c + 1] - t.offsets[c]);
        return;
    }
    const QByteArray folded = foldPoint(c, mode);
    out.append(folded.constData(), size_t(folded.size()));
}

void appendPoint(char32_t c, std::string &out)
{
    appendFolded(c, TextFold::Mode::caseAndAccents, out);
}

void appendText(QStringView text, std::string &out)
{
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t u = text[i].unicode();
        if (QChar::isHighSurrogate(u) && i + 1 < n && QChar::isLowSurrogate(text[i + 1].unicode())) {
            appendPoint(QChar::surrogateToUcs4(u, text[i + 1].unicode()), out);
            ++i;
        } else if (QChar::isSurrogate(u)) {
            appendPoint(U'\uFFFD', out); // a lone half of a pair is no character
        } else {
            appendPoint(u, out);
        }
    }
}

} // namespace

std::string TextFold::utf8(QStringView text)
{
    std::string out;
    out.reserve(size_t(text.size()));
    appendText(text, out);
    return out;
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
    appendText(QFile::decodeName(nativeName.toByteArray()), out);
}

bool TextFold::contains(std::string_view haystack, std::string_view needle)
{
    if (needle.empty() || needle.size() > haystack.size())
        return false;
    return ::memmem(haystack.data(), haystack.size(), needle.data(), needle.size()) != nullptr;
}

void TextFold::appendPoint(char32_t c, Mode mode, std::string &out)
{
    appendFolded(c, mode, out);
}
