#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <optional>

// file:// URIs of local paths (RFC 8089), percent-encoded from the path's
// raw bytes as the Trash's records are, so a name that is not UTF-8 — or
// one that holds a real U+FFFD — survives JSON and a script's round trip.
class FileUri final
{
public:
    // "file://" and the absolute path, every byte but letters, digits,
    // "-._~" and '/' written as %XX.
    static QByteArray fromPath(const QByteArray &path);
    // The same, appended to `out`.
    static void appendTo(QByteArray &out, QByteArrayView path);
    // The path a local file URI names: file:///p, file://localhost/p or
    // file:/p. None for another host, a query or fragment, a bad escape, an
    // encoded NUL or a path that is not absolute.
    static std::optional<QByteArray> toPath(QByteArrayView uri);
    // Whether a command-line argument is written as a file URI rather than a path.
    static bool looksLikeUri(QByteArrayView argument);
};
