#pragma once

#include "treewriter.h"

#include <QByteArray>
#include <QString>

// Builds a POSIX ustar archive in memory, and wraps any bytes as gzip.
class TarWriter final
{
public:
    void add(const QString &name, const QByteArray &data, Millis modified);
    void addFolder(const QString &name, Millis modified);
    QByteArray finish() const;

    static QByteArray gzip(const QByteArray &data, Millis modified);

private:
    void header(const QByteArray &name, qint64 size, Millis modified, char type, int mode);

    QByteArray m_out;
};
