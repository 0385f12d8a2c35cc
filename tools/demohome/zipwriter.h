#pragma once

#include "treewriter.h"

#include <QByteArray>
#include <QList>
#include <QString>

// Builds a zip archive in memory, entry by entry. Entries are stored, or
// deflated when asked; the result opens in any unzip tool and office suite.
class ZipWriter final
{
public:
    void add(const QString &name, const QByteArray &data, Millis modified, bool deflate = false);
    QByteArray finish() const;

    static quint32 crc32(const QByteArray &data);
    // Raw deflate data (no zlib or gzip wrapper) of `data`.
    static QByteArray deflateRaw(const QByteArray &data);

private:
    struct Entry
    {
        QByteArray name;
        quint32 crc = 0;
        quint32 size = 0;
        quint16 method = 0;
        quint16 time = 0;
        quint16 date = 0;
        quint32 offset = 0;
        QByteArray stored;
    };
    QList<Entry> m_entries;
    qint64 m_offset = 0;
};
