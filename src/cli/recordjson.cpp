#include "recordjson.h"

#include "model/fileuri.h"
#include "model/fmt.h"

#include <QFile>
#include <QJsonDocument>

#include <charconv>
#include <chrono>

namespace {

void putEscaped(QByteArray &out, char32_t c)
{
    static constexpr char kHex[] = "0123456789abcdef";
    switch (c) {
    case '"': out += "\\\""; return;
    case '\\': out += "\\\\"; return;
    case '\b': out += "\\b"; return;
    case '\f': out += "\\f"; return;
    case '\n': out += "\\n"; return;
    case '\r': out += "\\r"; return;
    case '\t': out += "\\t"; return;
    default: break;
    }
    if (c < 0x20) {
        out += "\\u00";
        out += kHex[c >> 4];
        out += kHex[c & 0xF];
        return;
    }
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xC0 | (c >> 6));
        out += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += char(0xE0 | (c >> 12));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    } else {
        out += char(0xF0 | (c >> 18));
        out += char(0x80 | ((c >> 12) & 0x3F));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
}

void putString(QByteArray &out, QStringView text)
{
    out += '"';
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t c = text[i].unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            c = QChar::surrogateToUcs4(char16_t(c), text[++i].unicode());
        else if (QChar::isSurrogate(c))
            c = 0xFFFD;
        putEscaped(out, c);
    }
    out += '"';
}

bool isUtf8(QByteArrayView bytes)
{
    for (qsizetype i = 0; i < bytes.size();) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (b < 0x80) {
            ++i;
            continue;
        }
        int length = (b & 0xE0) == 0xC0 ? 2 : (b & 0xF0) == 0xE0 ? 3 : (b & 0xF8) == 0xF0 ? 4 : 0;
        if (length == 0 || i + length > bytes.size())
            return false;
        char32_t c = b & (0xFF >> (length + 1));
        for (int k = 1; k < length; ++k) {
            const auto f = static_cast<unsigned char>(bytes[i + k]);
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

// Path bytes as the text QFile::decodeName makes of them.
void putPath(QByteArray &out, QByteArrayView bytes)
{
    if (!isUtf8(bytes)) {
        putString(out, QFile::decodeName(bytes.toByteArray()));
        return;
    }
    out += '"';
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x80)
            putEscaped(out, b);
        else
            out += c;
    }
    out += '"';
}

void putTwo(QByteArray &out, int n)
{
    out += char('0' + n / 10);
    out += char('0' + n % 10);
}

// As Fmt::iso writes it ("2024-01-31T09:05:00.250Z"), without a QDateTime.
void putDate(QByteArray &out, Millis ms)
{
    using namespace std::chrono;
    const sys_days day = floor<days>(sys_time<milliseconds>(milliseconds(ms)));
    const year_month_day date(day);
    const int y = int(date.year());
    if (y < 1 || y > 9999) { // Qt counts no year 0 and writes others its own way
        putString(out, Fmt::iso(ms));
        return;
    }
    const qint64 inDay = ms - duration_cast<milliseconds>(day.time_since_epoch()).count();
    out += '"';
    putTwo(out, y / 100);
    putTwo(out, y % 100);
    out += '-';
    putTwo(out, int(unsigned(date.month())));
    out += '-';
    putTwo(out, int(unsigned(date.day())));
    out += 'T';
    putTwo(out, int(inDay / 3'600'000));
    out += ':';
    putTwo(out, int(inDay / 60'000 % 60));
    out += ':';
    putTwo(out, int(inDay / 1000 % 60));
    out += '.';
    const int fraction = int(inDay % 1000);
    out += char('0' + fraction / 100);
    putTwo(out, fraction % 100);
    out += "Z\"";
}

void key(QByteArray &out, const char *name)
{
    out += '"';
    out += name;
    out += "\":";
}

} // namespace

void appendRecordJson(QByteArray &out, const FileItem &item)
{
    const QByteArray &path = item.path();
    const QByteArrayView name = QByteArrayView(path).sliced(path.lastIndexOf('/') + 1);
    out += '{';
    key(out, "added");
    putDate(out, item.added());
    out += ',';
    key(out, "created");
    putDate(out, item.created());
    out += ',';
    key(out, "ext");
    putString(out, item.ext());
    out += ',';
    key(out, "isCloudOnly");
    out += item.isCloudOnly() ? "true" : "false";
    out += ',';
    key(out, "isScreenshot");
    out += item.isScreenshot() ? "true" : "false";
    out += ',';
    key(out, "kind");
    putString(out, Kinds::rawValue(item.kind()));
    out += ',';
    key(out, "lastUsed");
    if (const auto lastUsed = item.lastUsed())
        putDate(out, *lastUsed);
    else
        out += "null";
    out += ',';
    key(out, "modified");
    putDate(out, item.modified());
    out += ',';
    key(out, "name");
    putPath(out, name);
    out += ',';
    key(out, "path");
    putPath(out, path);
    out += ',';
    key(out, "size");
    char digits[24];
    const auto written = std::to_chars(digits, digits + sizeof digits, item.size());
    out.append(digits, written.ptr - digits);
    out += ',';
    key(out, "source");
    if (const auto source = item.source())
        putString(out, *source);
    else
        out += "null";
    out += ',';
    key(out, "uri");
    out += '"';
    FileUri::appendTo(out, path);
    out += "\"}\n";
}

QByteArray jsonLine(const QJsonObject &object)
{
    QByteArray line = QJsonDocument(object).toJson(QJsonDocument::Compact);
    line += '\n';
    return line;
}
