#include "videowriter.h"

#include "binaryappend.h"

#include <cstring>
#include <QtEndian>

namespace {

using namespace BinaryAppend;

QByteArray box(const char type[5], const QByteArray &body)
{
    QByteArray out;
    be32(out, quint32(8 + body.size()));
    out.append(type, 4);
    return out + body;
}

QByteArray noise(Rng &rng, int bytes)
{
    QByteArray out;
    out.reserve(bytes);
    while (out.size() < bytes) {
        const quint64 v = rng.next();
        out.append(reinterpret_cast<const char *>(&v), qsizetype(sizeof v));
    }
    out.truncate(bytes);
    return out;
}

QByteArray isoMedia(bool quickTime, qint64 size, double seconds, Millis created,
                    const QString &title, Rng &rng)
{
    QByteArray ftyp;
    ftyp.append(quickTime ? "qt  " : "isom", 4);
    be32(ftyp, 0x200);
    ftyp.append(quickTime ? "qt  " : "isomiso2avc1mp41", quickTime ? 4 : 16);

    // Dates in these boxes count seconds from 1904-01-01.
    const quint32 stamp = quint32(created / 1000 + 2082844800LL);
    QByteArray mvhd;
    be32(mvhd, 0); // version 0, no flags
    be32(mvhd, stamp);
    be32(mvhd, stamp);
    be32(mvhd, 1000);
    be32(mvhd, quint32(seconds * 1000.0));
    be32(mvhd, 0x00010000); // normal rate
    be16(mvhd, 0x0100);     // full volume
    mvhd.append(10, '\0');
    const quint32 matrix[9] = {0x00010000, 0, 0, 0, 0x00010000, 0, 0, 0, 0x40000000};
    for (const quint32 m : matrix)
        be32(mvhd, m);
    mvhd.append(24, '\0');
    be32(mvhd, 2);

    QByteArray name;
    be16(name, quint16(title.toUtf8().size()));
    be16(name, 0x55C4); // language "und"
    name += title.toUtf8();
    const QByteArray udta = box("udta", box("\xA9nam", name));

    QByteArray out = box("ftyp", ftyp) + box("moov", box("mvhd", mvhd) + udta);
    out += box("free", QByteArray(512, '\0'));
    const qint64 mdatStart = out.size();
    be32(out, 1); // the 64-bit length follows
    out.append("mdat", 4);
    be64(out, quint64(size - mdatStart));
    out += noise(rng, 4096);
    return out;
}

// EBML element: short bodies get a one-byte length, as muxers write them, others an 8-byte one.
QByteArray element(quint32 id, const QByteArray &body)
{
    QByteArray out;
    for (int shift = 24; shift >= 0; shift -= 8)
        if ((id >> shift) != 0 || shift == 0)
            out.append(char((id >> shift) & 0xFF));
    if (body.size() < 127) {
        out.append(char(0x80 | body.size()));
    } else {
        out.append(char(0x01));
        char b[8];
        qToBigEndian(quint64(body.size()), b);
        out.append(b + 1, 7);
    }
    return out + body;
}

QByteArray uintBody(quint64 v, int bytes)
{
    QByteArray out;
    for (int i = bytes - 1; i >= 0; --i)
        out.append(char((v >> (8 * i)) & 0xFF));
    return out;
}

QByteArray matroska(bool webm, double seconds, const QString &title, Rng &rng)
{
    const QByteArray ebml = element(0x4286, uintBody(1, 1)) + element(0x42F7, uintBody(1, 1)) +
                            element(0x42F2, uintBody(4, 1)) + element(0x42F3, uintBody(8, 1)) +
                            element(0x4282, webm ? "webm" : "matroska") +
                            element(0x4287, uintBody(4, 1)) + element(0x4285, uintBody(2, 1));
    double ms = seconds * 1000.0;
    quint64 bits = 0;
    std::memcpy(&bits, &ms, sizeof bits);
    const QByteArray info = element(0x2AD7B1, uintBody(1000000, 3)) +
                            element(0x4489, uintBody(bits, 8)) + element(0x4D80, "Lavf60.3.100") +
                            element(0x5741, "Lavf60.3.100") + element(0x7BA9, title.toUtf8());
    QByteArray out = element(0x1A45DFA3, ebml);
    // The segment's length is "unknown", as streaming recorders write it.
    out.append("\x18\x53\x80\x67\x01\xFF\xFF\xFF\xFF\xFF\xFF\xFF", 12);
    out += element(0x1549A966, info);
    out += element(0x1F43B675, element(0xE7, uintBody(0, 1)) + element(0xA3, noise(rng, 4096)));
    return out;
}

} // namespace

QByteArray VideoWriter::head(const QString &ext, qint64 size, double seconds, Millis created,
                             const QString &title, Rng &rng)
{
    if (ext == u"mkv" || ext == u"webm")
        return matroska(ext == u"webm", seconds, title, rng);
    return isoMedia(ext == u"mov", size, seconds, created, title, rng);
}
