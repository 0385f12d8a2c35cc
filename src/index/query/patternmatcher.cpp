#include "patternmatcher.h"

#include "search/textfold.h"

#include <QList>
#include <QString>

#include <sqlite3.h>

#include <algorithm>
#include <memory>

namespace {

constexpr int kFoldMask = PatternMatcher::caseless | PatternMatcher::diacriticless;

// One code point from `text` at `i`, moving `i` past it; a byte that does
// not begin a valid sequence reads as U+FFFD.
char32_t nextPoint(std::string_view text, size_t &i)
{
    const auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char b = byte(i);
    if (b < 0x80) {
        ++i;
        return b;
    }
    int length = 0;
    char32_t c = 0;
    if ((b & 0xE0) == 0xC0) {
        length = 2;
        c = b & 0x1F;
    } else if ((b & 0xF0) == 0xE0) {
        length = 3;
        c = b & 0x0F;
    } else if ((b & 0xF8) == 0xF0) {
        length = 4;
        c = b & 0x07;
    }
    if (length == 0 || i + size_t(length) > text.size()) {
        ++i;
        return U'\uFFFD';
    }
    for (int k = 1; k < length; ++k) {
        const unsigned char f = byte(i + size_t(k));
        if ((f & 0xC0) != 0x80) {
            ++i;
            return U'\uFFFD';
        }
        c = (c << 6) | (f & 0x3F);
    }
    static constexpr char32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
    if (c < kLeast[length] || c > 0x10FFFF || (c >= 0xD800 && c < 0xE000)) {
        ++i;
        return U'\uFFFD';
    }
    i += size_t(length);
    return c;
}

bool isWordPoint(char32_t c)
{
    if (QChar::isLetterOrNumber(c))
        return true;
    const QChar::Category cat = QChar::category(c);
    return cat == QChar::Mark_NonSpacing || cat == QChar::Mark_SpacingCombining || cat == QChar::Mark_Enclosing;
}

// Byte offsets of `text` (0 … size) that are not inside a word: where a
// word-based value may begin or end.
std::vector<bool> wordEdges(std::string_view text)
{
    std::vector<bool> edge(text.size() + 1, false);
    bool previousIsWord = false;
    size_t i = 0;
    while (i < text.size()) {
        const size_t start = i;
        const bool word = isWordPoint(nextPoint(text, i));
        edge[start] = !(previousIsWord && word);
        previousIsWord = word;
    }
    edge[text.size()] = true;
    return edge;
}

void matchFunction(sqlite3_context *context, int argc, sqlite3_value **argv)
{
    if (argc != 3 || sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(context);
        return;
    }
    const int flags = sqlite3_value_int(argv[2]);
    auto *matcher = static_cast<PatternMatcher *>(sqlite3_get_auxdata(context, 1));
    std::unique_ptr<PatternMatcher> made;
    if (!matcher || matcher->flags() != flags) {
        const auto *encoded = reinterpret_cast<const char *>(sqlite3_value_text(argv[1]));
        const int encodedBytes = sqlite3_value_bytes(argv[1]);
        made = std::make_unique<PatternMatcher>(
            PatternMatcher::decode(std::string_view(encoded ? encoded : "", size_t(encodedBytes))), flags);
        matcher = made.get();
    }
    const auto *text = reinterpret_cast<const char *>(sqlite3_value_text(argv[0]));
    const int bytes = sqlite3_value_bytes(argv[0]);
    sqlite3_result_int(context, matcher->matches(std::string_view(text ? text : "", size_t(bytes))) ? 1 : 0);
    // The pattern is a bound constant, so SQLite keeps the compiled form for
    // the rest of the statement; it may also drop it at once, which is why
    // it is handed over only after its last use here.
    if (made)
        sqlite3_set_auxdata(context, 1, made.release(), [](void *p) { delete static_cast<PatternMatcher *>(p); });
}

} // namespace

PatternMatcher::PatternMatcher(const std::vector<QString> &segments, int flags) : m_flags(flags)
{
    m_folded.reserve(segments.size());
    for (const QString &s : segments) {
        const QByteArray utf8 = s.toUtf8();
        m_folded.push_back(fold(std::string_view(utf8.constData(), size_t(utf8.size())), flags));
    }
    if (m_folded.empty())
        m_folded.emplace_back();
}

int PatternMatcher::flagsOf(const Predicate::Pattern &pattern)
{
    return (pattern.caseless ? caseless : 0) | (pattern.diacriticless ? diacriticless : 0) |
           (pattern.wordBased ? wordBased : 0);
}

std::string PatternMatcher::fold(std::string_view utf8, int flags)
{
    const int mode = flags & kFoldMask;
    if (mode == 0)
        return std::string(utf8);
    const TextFold::Mode foldMode = mode == caseless        ? TextFold::Mode::caseOnly
                                    : mode == diacriticless ? TextFold::Mode::accentsOnly
                                                            : TextFold::Mode::caseAndAccents;
    std::string out;
    out.reserve(utf8.size());
    size_t i = 0;
    while (i < utf8.size()) {
        const unsigned char b = static_cast<unsigned char>(utf8[i]);
        if (b < 0x80) {
            out.push_back((mode & caseless) && b >= 'A' && b <= 'Z' ? char(b + 32) : char(b));
            ++i;
            continue;
        }
        TextFold::appendPoint(nextPoint(utf8, i), foldMode, out);
    }
    return out;
}

QByteArray PatternMatcher::encode(const std::vector<QString> &segments)
{
    QByteArray out;
    for (size_t i = 0; i < segments.size(); ++i) {
        if (i > 0)
            out += '*';
        for (const char c : segments[i].toUtf8()) {
            if (c == '\\' || c == '*')
                out += '\\';
            out += c;
        }
    }
    return out;
}

std::vector<QString> PatternMatcher::decode(std::string_view encoded)
{
    std::vector<std::string> parts(1);
    for (size_t i = 0; i < encoded.size(); ++i) {
        const char c = encoded[i];
        if (c == '*')
            parts.emplace_back();
        else if (c == '\\' && i + 1 < encoded.size())
            parts.back().push_back(encoded[++i]);
        else
            parts.back().push_back(c);
    }
    std::vector<QString> segments;
    segments.reserve(parts.size());
    for (const std::string &p : parts)
        segments.push_back(QString::fromUtf8(p.data(), qsizetype(p.size())));
    return segments;
}

std::string PatternMatcher::indexKey(std::string_view utf8)
{
    std::vector<std::string> variants;
    for (const int mode : {0, int(caseless), int(diacriticless), kFoldMask}) {
        std::string variant = fold(fold(utf8, mode), kFoldMask);
        if (std::find(variants.begin(), variants.end(), variant) == variants.end())
            variants.push_back(std::move(variant));
    }
    std::string key = std::move(variants.front());
    for (size_t i = 1; i < variants.size(); ++i) {
        key += '/';
        key += variants[i];
    }
    return key;
}

std::vector<std::string> PatternMatcher::indexTerms(const std::vector<QString> &segments, int flags)
{
    std::vector<std::string> terms;
    for (const QString &segment : segments) {
        const QByteArray utf8 = segment.toUtf8();
        std::string term = fold(fold(std::string_view(utf8.constData(), size_t(utf8.size())), flags), kFoldMask);
        size_t points = 0;
        for (const char c : term)
            points += (static_cast<unsigned char>(c) & 0xC0) != 0x80 ? 1 : 0;
        if (points >= 3)
            terms.push_back(std::move(term));
    }
    return terms;
}

bool PatternMatcher::registerWith(sqlite3 *db)
{
    return sqlite3_create_function_v2(db, "tovalo_match", 3, SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS,
                                      nullptr, &matchFunction, nullptr, nullptr, nullptr) == SQLITE_OK;
}

bool PatternMatcher::matches(std::string_view utf8) const
{
    const std::string folded = fold(utf8, m_flags);
    const std::string_view text(folded);
    if (!(m_flags & anyLine))
        return matchesOne(text);
    size_t start = 0;
    for (;;) {
        const size_t end = text.find('\n', start);
        if (matchesOne(text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start)))
            return true;
        if (end == std::string_view::npos)
            return false;
        start = end + 1;
    }
}

bool PatternMatcher::matchesOne(std::string_view text) const
{
    return (m_flags & wordBased) ? matchesFromWord(text) : matchesWhole(text);
}

// With only one kind of wildcard, placing each middle segment at its
// leftmost place leaves the most room for the rest, so no backtracking.
bool PatternMatcher::matchesWhole(std::string_view text) const
{
    if (m_folded.size() == 1)
        return text == m_folded.front();
    const std::string &first = m_folded.front();
    const std::string &last = m_folded.back();
    if (text.size() < first.size() + last.size() || !text.starts_with(first) || !text.ends_with(last))
        return false;
    size_t at = first.size();
    const size_t end = text.size() - last.size();
    for (size_t k = 1; k + 1 < m_folded.size(); ++k) {
        const std::string &segment = m_folded[k];
        const size_t found = text.substr(at, end - at).find(segment);
        if (found == std::string_view::npos)
            return false;
        at += found + segment.size();
    }
    return true;
}

bool PatternMatcher::matchesFromWord(std::string_view text) const
{
    const std::vector<bool> edge = wordEdges(text);
    const std::string &first = m_folded.front();
    const std::string &last = m_folded.back();
    for (size_t s = 0; s <= text.size(); ++s) {
        if (!edge[s] || !text.substr(s).starts_with(first))
            continue;
        size_t at = s + first.size();
        if (m_folded.size() == 1) {
            if (edge[at])
                return true;
            continue;
        }
        bool placed = true;
        for (size_t k = 1; k + 1 < m_folded.size() && placed; ++k) {
            const size_t found = text.find(m_folded[k], at);
            placed = found != std::string_view::npos;
            if (placed)
                at = found + m_folded[k].size();
        }
        if (!placed)
            return false; // a later start has even less room
        if (last.empty())
            return true;
        for (size_t found = text.find(last, at); found != std::string_view::npos; found = text.find(last, found + 1))
            if (edge[found + last.size()])
                return true;
    }
    return false;
}
