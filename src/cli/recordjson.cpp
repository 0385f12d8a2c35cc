#include "recordjson.h"

#include "model/stringpool.h"
#include "model/fmt.h"

#include <QFile>
#include <QJsonDocument>

#include <algorithm>
#include <array>
#include <charconv>
#include <chrono>
#include <optional>
#include <cstring>
#include <vector>

namespace {

constexpr char kHex[] = "0123456789abcdef";

// Writes through a raw pointer into room reserved beforehand: a record costs
// no allocation and no size check per byte.
struct Cursor
{
    char *p;

    void put(char c) { *p++ = c; }
    void put(const char *s, size_t n)
    {
        std::memcpy(p, s, n);
        p += n;
    }
    template <size_t N>
    void lit(const char (&s)[N])
    {
        put(s, N - 1);
    }

    void escaped(char32_t c)
    {
        switch (c) {
        case '"': lit("\\\""); return;
        case '\\': lit("\\\\"); return;
        case '\b': lit("\\b"); return;
        case '\f': lit("\\f"); return;
        case '\n': lit("\\n"); return;
        case '\r': lit("\\r"); return;
        case '\t': lit("\\t"); return;
        default: break;
        }
        if (c < 0x20) {
            lit("\\u00");
            put(kHex[c >> 4]);
            put(kHex[c & 0xF]);
        } else if (c < 0x80) {
            put(char(c));
        } else if (c < 0x800) {
            put(char(0xC0 | (c >> 6)));
            put(char(0x80 | (c & 0x3F)));
        } else if (c < 0x10000) {
            put(char(0xE0 | (c >> 12)));
            put(char(0x80 | ((c >> 6) & 0x3F)));
            put(char(0x80 | (c & 0x3F)));
        } else {
            put(char(0xF0 | (c >> 18)));
            put(char(0x80 | ((c >> 12) & 0x3F)));
            put(char(0x80 | ((c >> 6) & 0x3F)));
            put(char(0x80 | (c & 0x3F)));
        }
    }

    // Text as a JSON string; a lone surrogate becomes U+FFFD.
    void string(QStringView text)
    {
        put('"');
        for (qsizetype i = 0; i < text.size(); ++i) {
            char32_t c = text[i].unicode();
            if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate())
                c = QChar::surrogateToUcs4(char16_t(c), text[++i].unicode());
            else if (QChar::isSurrogate(c))
                c = 0xFFFD;
            escaped(c);
        }
        put('"');
    }

    void twoDigits(int n)
    {
        put(char('0' + n / 10));
        put(char('0' + n % 10));
    }
};

// Room `string` may take for `units` UTF-16 units: six bytes for a control
// character's escape, at most three for any other unit.
constexpr qsizetype roomFor(qsizetype units)
{
    return units * 6 + 2;
}

bool needsEscape(unsigned char b)
{
    return b < 0x20 || b == '"' || b == '\\';
}

bool isUtf8(QByteArrayView bytes)
{
    const auto *s = reinterpret_cast<const unsigned char *>(bytes.data());
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i < n;) {
        const unsigned char b = s[i];
        if (b < 0x80) {
            ++i;
            continue;
        }
        int length = (b & 0xE0) == 0xC0 ? 2 : (b & 0xF0) == 0xE0 ? 3 : (b & 0xF8) == 0xF0 ? 4 : 0;
        if (length == 0 || i + length > n)
            return false;
        char32_t c = b & (0xFF >> (length + 1));
        for (int k = 1; k < length; ++k) {
            const unsigned char f = s[i + k];
            if ((f & 0xC0) != 0x80)
                return false;
            c = (c << 6) | (f & 0x3F);
        }
        static constexpr char32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
        if (c < kLeast[length] || c > 0x10FFFF || (c >= 0xD800 && c < 0xE000))
            return false;
        i += length;
    }
    return true;
}

// Path bytes as the text QFile::decodeName makes of them: valid UTF-8 is
// copied in runs, only the characters JSON escapes are written one by one.
void putPath(Cursor &out, QByteArrayView bytes)
{
    if (!isUtf8(bytes)) {
        out.string(QFile::decodeName(bytes.toByteArray()));
        return;
    }
    out.put('"');
    const char *s = bytes.data();
    const char *end = s + bytes.size();
    while (s < end) {
        const char *run = s;
        while (s < end && !needsEscape(static_cast<unsigned char>(*s)))
            ++s;
        out.put(run, size_t(s - run));
        if (s < end)
            out.escaped(static_cast<unsigned char>(*s++));
    }
    out.put('"');
}

// As FileUri writes it: "file://" and the path with every byte outside the
// unreserved set and '/' percent-encoded in upper-case hex.
void putUri(Cursor &out, QByteArrayView path)
{
    static constexpr char kUpperHex[] = "0123456789ABCDEF";
    out.lit("\"file://");
    for (const char c : path) {
        const auto b = static_cast<unsigned char>(c);
        const bool plain = (b >= 'a' && b <= 'z') || (b >= 'A' && b <= 'Z') || (b >= '0' && b <= '9') || b == '-' ||
                           b == '.' || b == '_' || b == '~' || b == '/';
        if (plain) {
            out.put(c);
        } else {
            out.put('%');
            out.put(kUpperHex[b >> 4]);
            out.put(kUpperHex[b & 0xF]);
        }
    }
    out.put('"');
}

using namespace std::chrono;

// Whether `ms` falls in a year Fmt::iso writes as four digits; Qt counts no
// year 0 and writes the others its own way.
bool plainYear(sys_days day)
{
    const int y = int(year_month_day(day).year());
    return y >= 1 && y <= 9999;
}

sys_days dayOf(Millis ms)
{
    return floor<days>(sys_time<milliseconds>(milliseconds(ms)));
}

// Room a date takes: "2024-01-31T09:05:00.250Z" with its quotes, or Qt's own text.
qsizetype dateRoom(Millis ms)
{
    return plainYear(dayOf(ms)) ? 26 : roomFor(Fmt::iso(ms).size());
}

// As Fmt::iso writes it ("2024-01-31T09:05:00.250Z"), without a QDateTime.
void putDate(Cursor &out, Millis ms)
{
    const sys_days day = dayOf(ms);
    if (!plainYear(day)) {
        out.string(Fmt::iso(ms));
        return;
    }
    const year_month_day date(day);
    const int y = int(date.year());
    const qint64 inDay = ms - duration_cast<milliseconds>(day.time_since_epoch()).count();
    out.put('"');
    out.twoDigits(y / 100);
    out.twoDigits(y % 100);
    out.put('-');
    out.twoDigits(int(unsigned(date.month())));
    out.put('-');
    out.twoDigits(int(unsigned(date.day())));
    out.put('T');
    out.twoDigits(int(inDay / 3'600'000));
    out.put(':');
    out.twoDigits(int(inDay / 60'000 % 60));
    out.put(':');
    out.twoDigits(int(inDay / 1000 % 60));
    out.put('.');
    const int fraction = int(inDay % 1000);
    out.put(char('0' + fraction / 100));
    out.twoDigits(fraction % 100);
    out.lit("Z\"");
}

// Pooled strings (extensions, source names) and kind names as JSON, made
// once per thread: most records share a handful of them.
class Encoded
{
public:
    const QByteArray &pooled(quint16 id)
    {
        if (size_t(id) >= m_pooled.size())
            m_pooled.resize(size_t(id) + 1);
        QByteArray &slot = m_pooled[id];
        if (slot.isEmpty())
            slot = encode(StringPool::text(id));
        return slot;
    }

    const QByteArray &kind(Kind k)
    {
        QByteArray &slot = m_kinds[size_t(k)];
        if (slot.isEmpty())
            slot = encode(Kinds::rawValue(k));
        return slot;
    }

    static QByteArray encode(QStringView text)
    {
        QByteArray out(roomFor(text.size()), Qt::Uninitialized);
        Cursor c{out.data()};
        c.string(text);
        out.truncate(c.p - out.data());
        return out;
    }

private:
    std::vector<QByteArray> m_pooled;
    std::array<QByteArray, 16> m_kinds;
};

void putBytes(Cursor &out, const QByteArray &bytes)
{
    out.put(bytes.constData(), size_t(bytes.size()));
}

} // namespace

void appendRecordJson(QByteArray &out, const FileItem &item)
{
    thread_local Encoded encoded;
    const QByteArray &path = item.path();
    const QByteArrayView name = QByteArrayView(path).sliced(path.lastIndexOf('/') + 1);
    // Pooled and kind strings cost nothing to fetch, so their room is their length.
    const QByteArray *ext = item.extId() != StringPool::kNone ? &encoded.pooled(item.extId()) : nullptr;
    const QString unpooledExt = ext ? QString() : item.ext();
    const QByteArray &kind = encoded.kind(item.kind());
    const QByteArray *source = item.sourceId() != StringPool::kNone ? &encoded.pooled(item.sourceId()) : nullptr;

    const std::optional<Millis> lastUsed = item.lastUsed();
    const qsizetype room = 200 + dateRoom(item.added()) + dateRoom(item.created()) + dateRoom(item.modified()) +
                           (lastUsed ? dateRoom(*lastUsed) : 4) + (ext ? ext->size() : roomFor(unpooledExt.size())) + kind.size() +
                           (source ? source->size() : 4) + roomFor(name.size()) + roomFor(path.size()) +
                           3 * path.size() + 10;
    const qsizetype at = out.size();
    if (out.capacity() < at + room)
        out.reserve(std::max(at + room, out.capacity() * 2));
    out.resize(at + room);
    Cursor c{out.data() + at};

    c.lit("{\"added\":");
    putDate(c, item.added());
    c.lit(",\"created\":");
    putDate(c, item.created());
    c.lit(",\"ext\":");
    if (ext)
        putBytes(c, *ext);
    else
        c.string(unpooledExt);
    c.lit(",\"isCloudOnly\":");
    if (item.isCloudOnly())
        c.lit("true");
    else
        c.lit("false");
    c.lit(",\"isScreenshot\":");
    if (item.isScreenshot())
        c.lit("true");
    else
        c.lit("false");
    c.lit(",\"kind\":");
    putBytes(c, kind);
    c.lit(",\"lastUsed\":");
    if (lastUsed)
        putDate(c, *lastUsed);
    else
        c.lit("null");
    c.lit(",\"modified\":");
    putDate(c, item.modified());
    c.lit(",\"name\":");
    putPath(c, name);
    c.lit(",\"path\":");
    putPath(c, path);
    c.lit(",\"size\":");
    c.p = std::to_chars(c.p, c.p + 24, item.size()).ptr;
    c.lit(",\"source\":");
    if (source)
        putBytes(c, *source);
    else
        c.lit("null");
    c.lit(",\"uri\":");
    putUri(c, path);
    c.lit("}\n");
    out.truncate(c.p - out.constData());
}

QByteArray jsonLine(const QJsonObject &object)
{
    QByteArray line = QJsonDocument(object).toJson(QJsonDocument::Compact);
    line += '\n';
    return line;
}
