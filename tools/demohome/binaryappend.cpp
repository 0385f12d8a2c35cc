#include "binaryappend.h"

#include <QtEndian>

namespace {

template <typename T>
void little(QByteArray &out, T v)
{
    char b[sizeof(T)];
    qToLittleEndian(v, b);
    out.append(b, sizeof(T));
}

template <typename T>
void big(QByteArray &out, T v)
{
    char b[sizeof(T)];
    qToBigEndian(v, b);
    out.append(b, sizeof(T));
}

} // namespace

namespace BinaryAppend {

void le16(QByteArray &out, quint16 v) { little(out, v); }
void le32(QByteArray &out, quint32 v) { little(out, v); }
void be16(QByteArray &out, quint16 v) { big(out, v); }
void be32(QByteArray &out, quint32 v) { big(out, v); }
void be64(QByteArray &out, quint64 v) { big(out, v); }

} // namespace BinaryAppend
