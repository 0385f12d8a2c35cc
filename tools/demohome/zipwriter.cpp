#include "zipwriter.h"

#include "binaryappend.h"

#include <array>
#include <QDateTime>
#include <QtEndian>
#include <QTimeZone>

namespace {

using namespace BinaryAppend;

// MS-DOS date and time fields, in UTC so that the archive is the same in every zone.
void dosDateTime(Millis modified, quint16 &date, quint16 &time)
{
    QDateTime t = QDateTime::fromMSecsSinceEpoch(modified, QTimeZone::utc());
    if (t.date().year() < 1980)
        t = QDateTime(QDate(1980, 1, 1), QTime(0, 0), QTimeZone::utc());
    date = quint16(((t.date().year() - 1980) << 9) | (t.date().month() << 5) | t.date().day());
    time = quint16((t.time().hour() << 11) | (t.time().minute() << 5) | (t.time().second() / 2));
}

const std::array<quint32, 256> &crcTable()
{
    static const std::array<quint32, 256> table = [] {
        std::array<quint32, 256> t{};
        for (quint32 i = 0; i < 256; ++i) {
            quint32 c = i;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320U ^ (c >> 1) : c >> 1;
            t[i] = c;
        }
        return t;
    }();
    return table;
}

} // namespace

quint32 ZipWriter::crc32(const QByteArray &data)
{
    const auto &table = crcTable();
    quint32 c = 0xFFFFFFFFU;
    for (const char ch : data)
        c = table[(c ^ quint8(ch)) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFU;
}

QByteArray ZipWriter::deflateRaw(const QByteArray &data)
{
    // qCompress gives a 4-byte length, a 2-byte zlib header, the deflate data
    // and a 4-byte Adler-32; the deflate data alone is what zip and gzip hold.
    const QByteArray z = qCompress(data, 9);
    return z.mid(6, z.size() - 10);
}

void ZipWriter::add(const QString &name, const QByteArray &data, Millis modified, bool deflate)
{
    Entry e;
    e.name = name.toUtf8();
    e.crc = crc32(data);
    e.size = quint32(data.size());
    dosDateTime(modified, e.date, e.time);
    e.stored = data;
    if (deflate) {
        const QByteArray packed = deflateRaw(data);
        if (packed.size() < data.size()) {
            e.stored = packed;
            e.method = 8;
        }
    }
    e.offset = quint32(m_offset);
    m_offset += 30 + e.name.size() + e.stored.size();
    m_entries.append(e);
}

QByteArray ZipWriter::finish() const
{
    QByteArray out;
    out.reserve(qsizetype(m_offset) + 64 * m_entries.size() + 22);
    constexpr quint16 kUtf8Names = 1 << 11;
    for (const Entry &e : m_entries) {
        le32(out, 0x04034b50);
        le16(out, 20);
        le16(out, kUtf8Names);
        le16(out, e.method);
        le16(out, e.time);
        le16(out, e.date);
        le32(out, e.crc);
        le32(out, quint32(e.stored.size()));
        le32(out, e.size);
        le16(out, quint16(e.name.size()));
        le16(out, 0);
        out += e.name;
        out += e.stored;
    }
    const quint32 directoryStart = quint32(out.size());
    for (const Entry &e : m_entries) {
        le32(out, 0x02014b50);
        le16(out, 0x0314); // made by: Unix, version 2.0
        le16(out, 20);
        le16(out, kUtf8Names);
        le16(out, e.method);
        le16(out, e.time);
        le16(out, e.date);
        le32(out, e.crc);
        le32(out, quint32(e.stored.size()));
        le32(out, e.size);
        le16(out, quint16(e.name.size()));
        le16(out, 0);
        le16(out, 0);
        le16(out, 0);
        le16(out, 0);
        le32(out, quint32(0100644) << 16);
        le32(out, e.offset);
        out += e.name;
    }
    const quint32 directorySize = quint32(out.size()) - directoryStart;
    le32(out, 0x06054b50);
    le16(out, 0);
    le16(out, 0);
    le16(out, quint16(m_entries.size()));
    le16(out, quint16(m_entries.size()));
    le32(out, directorySize);
    le32(out, directoryStart);
    le16(out, 0);
    return out;
}
