#pragma once

#include <QByteArray>

// Fixed-width integers appended in the byte order a file format asks for.
namespace BinaryAppend {

void le16(QByteArray &out, quint16 v);
void le32(QByteArray &out, quint32 v);
void be16(QByteArray &out, quint16 v);
void be32(QByteArray &out, quint32 v);
void be64(QByteArray &out, quint64 v);

} // namespace BinaryAppend
