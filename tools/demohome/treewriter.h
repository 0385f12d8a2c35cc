#pragma once

#include <QByteArray>
#include <QString>
#include <stdexcept>

// Milliseconds since 1970-01-01T00:00:00Z.
using Millis = qint64;

// A write that could not be done; its message names the path and the reason.
class WriteError final : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// Writes the files of the demonstration home under one folder and dates them.
// Paths are relative to that folder, with "/" between components; missing
// folders are made on the way. Every failure to write throws WriteError.
class TreeWriter final
{
public:
    explicit TreeWriter(const QString &root);

    void write(const QString &relative, const QByteArray &bytes, Millis modified);
    // A file of `size` bytes that starts with `head`, ends with `tail` and is
    // a hole in between: large to every reader, nearly nothing on disk.
    void sparse(const QString &relative, const QByteArray &head, qint64 size, Millis modified,
                const QByteArray &tail = {});
    // Another copy, byte for byte, of a file already written.
    void copy(const QString &from, const QString &to, Millis modified);
    void folder(const QString &relative);
    void makeExecutable(const QString &relative);
    // Attributes that cannot be kept (a file system without user attributes)
    // give one warning on stderr for the whole run, and the file stays.
    void setAttribute(const QString &relative, const char *name, const QByteArray &value);
    QByteArray read(const QString &relative) const;

    // Dates every folder, deepest first, with the newest date found inside it
    // (or `empty` when it holds nothing), once all files are in place.
    void dateFolders(Millis empty);

    int files() const { return m_files; }
    qint64 bytes() const { return m_bytes; }
    // Blocks actually taken, holes left out.
    qint64 diskBytes() const;
    bool attributesKept() const { return !m_attributesLost; }

private:
    QByteArray native(const QString &relative) const;
    void makeParents(const QByteArray &path);
    void setDate(const QByteArray &path, Millis modified);
    [[noreturn]] void fail(const QByteArray &path, const char *what) const;

    QString m_root;
    int m_files = 0;
    qint64 m_bytes = 0;
    bool m_attributesLost = false;
};
