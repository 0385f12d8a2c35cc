#include "tarwriter.h"

#include "zipwriter.h"

#include <cstring>
#include <QtEndian>

namespace {

void octal(char *field, int width, qint64 value)
{
    // width - 1 digits and a terminating NUL, as tar readers expect.
    const QByteArray digits = QByteArray::number(value, 8).rightJustified(width - 1, '0');
    std::memcpy(field, digits.constData(), size_t(width - 1));
    field[width - 1] = '\0';
}

} // namespace

void TarWriter::header(const QByteArray &name, qint64 size, Millis modified, char type, int mode)
{
    char block[512];
    std::memset(block, 0, sizeof block);
    QByteArray prefix;
    QByteArray base = name;
    if (base.size() > 100) {
        // Long paths split at a slash into the 155-byte prefix and the 100-byte name.
        qsizetype cut = -1;
        for (qsizetype i = name.indexOf('/'); i >= 0 && i <= 155 && cut < 0;
             i = name.indexOf('/', i + 1))
            if (name.size() - i - 1 <= 100)
                cut = i;
        if (cut < 0)
            throw WriteError("name too long for a tar archive: " + name.toStdString());
        prefix = name.left(cut);
        base = name.mid(cut + 1);
    }
    std::memcpy(block, base.constData(), size_t(std::min<qsizetype>(base.size(), 100)));
    octal(block + 100, 8, mode);
    octal(block + 108, 8, 1000);
    octal(block + 116, 8, 1000);
    octal(block + 124, 12, size);
    octal(block + 136, 12, modified / 1000);
    std::memset(block + 148, ' ', 8);
    block[156] = type;
    std::memcpy(block + 257, "ustar", 6);
    std::memcpy(block + 263, "00", 2);
    std::memcpy(block + 265, "user", 4);
    std::memcpy(block + 297, "user", 4);
    std::memcpy(block + 345, prefix.constData(), size_t(std::min<qsizetype>(prefix.size(), 155)));
    unsigned sum = 0;
    for (const char c : block)
        sum += quint8(c);
    const QByteArray check = QByteArray::number(sum, 8).rightJustified(6, '0');
    std::memcpy(block + 148, check.constData(), 6);
    block[154] = '\0';
    block[155] = ' ';
    m_out.append(block, sizeof block);
}

void TarWriter::add(const QString &name, const QByteArray &data, Millis modified)
{
    header(name.toUtf8(), data.size(), modified, '0', 0644);
    m_out += data;
    const qsizetype pad = (512 - data.size() % 512) % 512;
    m_out.append(pad, '\0');
}

void TarWriter::addFolder(const QString &name, Millis modified)
{
    QByteArray n = name.toUtf8();
    if (!n.endsWith('/'))
        n += '/';
    header(n, 0, modified, '5', 0755);
}

QByteArray TarWriter::finish() const
{
    QByteArray out = m_out;
    out.append(1024, '\0');
    // Archivers round archives up to 10 KiB records; readers accept either.
    out.append((10240 - out.size() % 10240) % 10240, '\0');
    return out;
}

QByteArray TarWriter::gzip(const QByteArray &data, Millis modified)
{
    QByteArray out;
    const char head[4] = {'\x1f', '\x8b', 8, 0};
    out.append(head, 4);
    char word[4];
    qToLittleEndian(quint32(modified / 1000), word);
    out.append(word, 4);
    out.append('\x02'); // best compression
    out.append('\x03'); // made on Unix
    out += ZipWriter::deflateRaw(data);
    qToLittleEndian(ZipWriter::crc32(data), word);
    out.append(word, 4);
    qToLittleEndian(quint32(data.size()), word);
    out.append(word, 4);
    return out;
}
