#include "model/fileuri.h"
#include "model/fmt.h"
#include "recordjson.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

#include <charconv>
#include <chrono>

#include <gtest/gtest.h>


// The writer listings used while each record went through QByteArray
// appends, kept as the byte-for-byte reference for the faster one.
namespace previous {


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

QByteArray appendRecordJson(const FileItem &item)
{
    QByteArray out;
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
    return out;
}


} // namespace previous

namespace {

// The record as QJsonObject would hold it: what listings printed before the
// writer, and what any JSON reader must still get back.
QJsonObject reference(const FileItem &item)
{
    QJsonObject o;
    o.insert(u"path", item.pathString());
    o.insert(u"uri", QString::fromLatin1(FileUri::fromPath(item.path())));
    o.insert(u"name", item.name());
    o.insert(u"ext", item.ext());
    o.insert(u"kind", Kinds::rawValue(item.kind()));
    o.insert(u"size", double(item.size()));
    o.insert(u"modified", Fmt::iso(item.modified()));
    o.insert(u"created", Fmt::iso(item.created()));
    o.insert(u"added", Fmt::iso(item.added()));
    const auto source = item.source();
    o.insert(u"source", source ? QJsonValue(*source) : QJsonValue(QJsonValue::Null));
    o.insert(u"isScreenshot", item.isScreenshot());
    o.insert(u"isCloudOnly", item.isCloudOnly());
    const auto lastUsed = item.lastUsed();
    o.insert(u"lastUsed", lastUsed ? QJsonValue(Fmt::iso(*lastUsed)) : QJsonValue(QJsonValue::Null));
    return o;
}

TEST(RecordJson, ReadsBackAsTheObjectItStandsFor)
{
    const struct
    {
        QByteArray path;
        qint64 size;
        Millis modified;
        std::optional<Millis> lastUsed;
    } cases[] = {
        {"/home/u/plain.txt", 1'000'000, 1'700'000'000'123, std::nullopt},
        {"/home/u/quote\"back\\slash.md", 0, 0, 1'600'000'000'000},
        {"/home/u/line\nbreak\ttab\x01.txt", 42, kDistantPast, std::nullopt},
        {"/home/u/caf\xe9 not utf-8.pdf", 9'007'199'254'740'992, -1, std::nullopt},
        {"/home/u/\xef\xbf\xbd real replacement.png", 7, 253'402'300'799'999, std::nullopt},
        {"/home/u/\xf0\x9f\x98\x80 emoji \xc3\xa9t\xc3\xa9.JPG", 123, 86'400'000 * 365LL, std::nullopt},
        {"/home/u/Screenshot from 2024-01-01.png", 5, 1'704'067'200'000, std::nullopt},
    };
    for (const auto &c : cases) {
        FileItem::Fields f;
        f.path = c.path;
        const QString name = QFile::decodeName(c.path.mid(c.path.lastIndexOf('/') + 1));
        f.ext = lowerExtension(name);
        f.kind = Kinds::of(f.ext);
        if (c.size == 42)
            f.source = QStringLiteral("Mail \"Inbox\"");
        f.size = c.size;
        f.modified = c.modified;
        f.created = c.modified - 1000;
        f.lastUsed = c.lastUsed;
        f.isScreenshot = c.path.contains("Screenshot");
        const FileItem item(f);
        QByteArray line;
        appendRecordJson(line, item);
        ASSERT_TRUE(line.endsWith("}\n")) << line.constData();
        EXPECT_EQ(line.count('\n'), 1) << line.constData();
        QJsonParseError error;
        const QJsonDocument doc = QJsonDocument::fromJson(line, &error);
        ASSERT_EQ(error.error, QJsonParseError::NoError) << line.constData();
        EXPECT_EQ(doc.object(), reference(item)) << line.constData();
        // Sizes are whole numbers, never 1e+06.
        EXPECT_TRUE(line.contains("\"size\":" + QByteArray::number(c.size) + ',')) << line.constData();
    }
}

TEST(RecordJson, WritesTheSameBytesAsThePreviousWriter)
{
    const QByteArray names[] = {
        "plain.txt", "quote\"back\\slash", "ctl\x01\x1f\x7f.bin", "tab\tnl\ncr\r.txt",
        "caf\xe9.pdf", "trunc\xe2\x82.txt", "overlong\xc0\xaf.txt", "surrogate\xed\xa0\x80.txt",
        "above\xf4\x90\x80\x80.txt", "\xf0\x9f\x98\x80 \xc3\xa9t\xc3\xa9.JPG", "100%#?&=+ [x].tar.gz",
        "noext", ".hidden", "dot.", "\xff\xfe", "Screenshot from 2024.png", "UPPER.PnG", "\xe6\x97\xa5.\xe6\x96\x87",
    };
    const Millis dates[] = {0, -1, kDistantPast, kDistantPast - 86'400'000, 253'402'300'799'999,
                            253'402'300'800'000, 1'700'000'000'123};
    const QString sources[] = {QString(), QStringLiteral("example.org"), QStringLiteral("Mail \"In\\box\"\t\u00e9")};
    int n = 0;
    QByteArray all;
    QByteArray expected;
    for (const QByteArray &name : names) {
        for (const Millis date : dates) {
            FileItem::Fields f;
            f.path = "/home/u/d\xe9j\xe0 vu/" + name;
            f.ext = lowerExtension(QFile::decodeName(name));
            f.kind = Kinds::of(f.ext);
            f.size = qint64(n) * 1'000'003 - 5;
            f.modified = date;
            f.created = date - 1;
            f.added = date + 999;
            if (n % 3 == 1)
                f.lastUsed = date + 1;
            const QString &source = sources[size_t(n) % std::size(sources)];
            if (!source.isEmpty())
                f.source = source;
            f.isScreenshot = n % 2 == 0;
            f.isCloudOnly = n % 5 == 0;
            ++n;
            const FileItem item(f);
            QByteArray line;
            appendRecordJson(line, item);
            EXPECT_EQ(line, previous::appendRecordJson(item)) << f.path.toPercentEncoding().constData();
            appendRecordJson(all, item);
            expected += previous::appendRecordJson(item);
        }
    }
    // Appending to a buffer that already holds records keeps them.
    EXPECT_EQ(all, expected);
}

} // namespace
