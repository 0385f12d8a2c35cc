#include "ziparchive.h"

#include <zip.h>

ZipArchive::ZipArchive(const QByteArray &path)
{
    int error = 0;
    m_zip = zip_open(path.constData(), ZIP_RDONLY, &error);
}

ZipArchive::~ZipArchive()
{
    if (m_zip)
        zip_discard(m_zip);
}

QStringList ZipArchive::names() const
{
    QStringList out;
    if (!m_zip)
        return out;
    const zip_int64_t count = zip_get_num_entries(m_zip, 0);
    for (zip_int64_t i = 0; i < count; ++i)
        if (const char *name = zip_get_name(m_zip, zip_uint64_t(i), 0))
            out.append(QString::fromUtf8(name));
    return out;
}

std::optional<QByteArray> ZipArchive::read(const QString &name, qint64 limit) const
{
    if (!m_zip)
        return std::nullopt;
    zip_file_t *file = zip_fopen(m_zip, name.toUtf8().constData(), 0);
    if (!file)
        return std::nullopt;
    QByteArray out;
    char buffer[65536];
    // The stated size of an entry is not trusted: a zip bomb says anything.
    while (out.size() < limit) {
        const zip_int64_t got = zip_fread(file, buffer, sizeof buffer);
        if (got < 0) {
            zip_fclose(file);
            return std::nullopt;
        }
        if (got == 0)
            break;
        out.append(buffer, qsizetype(std::min<qint64>(got, limit - out.size())));
    }
    zip_fclose(file);
    return out;
}
