#pragma once

#include <QByteArray>
#include <QStringList>

#include <optional>

struct zip;

// A read-only zip file (the container of OOXML, ODF and EPUB documents).
class ZipArchive final
{
public:
    explicit ZipArchive(const QByteArray &path);
    ~ZipArchive();
    ZipArchive(const ZipArchive &) = delete;
    ZipArchive &operator=(const ZipArchive &) = delete;

    bool isOpen() const { return m_zip != nullptr; }
    QStringList names() const;
    // The entry's bytes, at most `limit` of them; none when it is missing or unreadable.
    std::optional<QByteArray> read(const QString &name, qint64 limit) const;

private:
    zip *m_zip = nullptr;
};
