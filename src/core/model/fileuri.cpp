#include "fileuri.h"

namespace {

constexpr QByteArrayView kScheme = "file:";

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

QByteArray FileUri::fromPath(const QByteArray &path)
{
    QByteArray out;
    out.reserve(7 + path.size() * 3 / 2);
    appendTo(out, path);
    return out;
}

void FileUri::appendTo(QByteArray &out, QByteArrayView path)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    out += "file://";
    for (const char c : path) {
        const auto b = static_cast<unsigned char>(c);
        const bool plain = (b >= 'a' && b <= 'z') || (b >= 'A' && b <= 'Z') || (b >= '0' && b <= '9') || b == '-' ||
                           b == '.' || b == '_' || b == '~' || b == '/';
        if (plain) {
            out += c;
        } else {
            out += '%';
            out += kHex[b >> 4];
            out += kHex[b & 0xF];
        }
    }
}

bool FileUri::looksLikeUri(QByteArrayView argument)
{
    return argument.size() > kScheme.size() && argument.first(kScheme.size()).compare(kScheme, Qt::CaseInsensitive) == 0 &&
           argument[kScheme.size()] == '/';
}

std::optional<QByteArray> FileUri::toPath(QByteArrayView uri)
{
    if (!looksLikeUri(uri))
        return std::nullopt;
    QByteArrayView rest = uri.sliced(kScheme.size());
    if (rest.startsWith("//")) {
        rest = rest.sliced(2);
        const qsizetype slash = rest.indexOf('/');
        if (slash < 0)
            return std::nullopt;
        const QByteArrayView host = rest.first(slash);
        if (!host.isEmpty() && host.compare(QByteArrayView("localhost"), Qt::CaseInsensitive) != 0)
            return std::nullopt; // a file on another machine is not one of ours
        rest = rest.sliced(slash);
    }
    QByteArray path;
    path.reserve(rest.size());
    for (qsizetype i = 0; i < rest.size(); ++i) {
        const char c = rest[i];
        if (c == '?' || c == '#')
            return std::nullopt;
        if (c != '%') {
            path += c;
            continue;
        }
        if (i + 2 >= rest.size())
            return std::nullopt;
        const int high = hexValue(rest[i + 1]);
        const int low = hexValue(rest[i + 2]);
        if (high < 0 || low < 0 || (high == 0 && low == 0))
            return std::nullopt;
        path += char(high * 16 + low);
        i += 2;
    }
    if (!path.startsWith('/'))
        return std::nullopt;
    return path;
}
