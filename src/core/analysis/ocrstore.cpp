#include "ocrstore.h"

#include <QDateTime>
#include <QDebug>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

void appendQuoted(QByteArray &out, const QByteArray &utf8)
{
    static constexpr char kHex[] = "0123456789abcdef";
    out += '"';
    for (const char c : utf8) {
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (uchar(c) < 0x20) {
                out += "\\u00";
                out += kHex[uchar(c) >> 4];
                out += kHex[uchar(c) & 0xf];
            } else {
                out += c;
            }
        }
    }
    out += '"';
}

// The shortest decimal that reads back as the same double, without an exponent.
void appendSeconds(QByteArray &out, double seconds)
{
    char buffer[64];
    const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, seconds, std::chars_format::fixed);
    if (error == std::errc())
        out.append(buffer, end - buffer);
    else
        out += QByteArray::number(seconds, 'g', 17);
}

std::optional<OcrStore::Entry> entryFrom(const QJsonValue &value)
{
    if (!value.isObject())
        return std::nullopt;
    const QJsonObject o = value.toObject();
    const QJsonValue m = o.value(u"m");
    const QJsonValue s = o.value(u"s");
    const QJsonValue t = o.value(u"t");
    if (!m.isDouble() || !s.isDouble() || !t.isString())
        return std::nullopt;
    // A size must be a whole number of bytes.
    const qint64 size = s.toInteger();
    if (double(size) != s.toDouble())
        return std::nullopt;
    OcrStore::Entry entry{m.toDouble(), size, t.toString(), std::nullopt};
    const QJsonValue l = o.value(u"l");
    if (l.isUndefined() || l.isNull())
        return entry;
    if (!l.isArray())
        return std::nullopt;
    QStringList labels;
    for (const QJsonValue &label : l.toArray()) {
        if (!label.isString())
            return std::nullopt;
        labels.append(label.toString());
    }
    entry.l = std::move(labels);
    return entry;
}

// Keeps a damaged store for whoever wants to look at it, out of the way of the next save.
void moveAside(const QByteArray &file, const QString &why)
{
    const QByteArray target = file + ".damaged-" +
                              QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMdd-HHmmss")).toLatin1();
    const bool moved = ::rename(file.constData(), target.constData()) == 0;
    qWarning().noquote() << QStringLiteral("Tovalo: the text-in-images store %1 is damaged (%2); %3")
                                .arg(QFile::decodeName(file), why,
                                     moved ? QStringLiteral("moved to ") + QFile::decodeName(target)
                                           : QStringLiteral("it could not be moved aside"));
}

} // namespace

QByteArray OcrStore::encode(const Entries &entries)
{
    QByteArray out;
    out.reserve(entries.size() * 160);
    out += '{';
    bool first = true;
    for (auto it = entries.cbegin(); it != entries.cend(); ++it) {
        if (!QByteArrayView(it.key()).isValidUtf8())
            continue;
        if (!first)
            out += ',';
        first = false;
        const Entry &e = it.value();
        appendQuoted(out, it.key());
        out += ":{\"m\":";
        appendSeconds(out, e.m);
        out += ",\"s\":";
        out += QByteArray::number(e.s);
        out += ",\"t\":";
        appendQuoted(out, e.t.toUtf8());
        if (e.l) {
            out += ",\"l\":[";
            for (qsizetype i = 0; i < e.l->size(); ++i) {
                if (i > 0)
                    out += ',';
                appendQuoted(out, e.l->at(i).toUtf8());
            }
            out += ']';
        }
        out += '}';
    }
    out += '}';
    return out;
}

std::optional<OcrStore::Entries> OcrStore::decode(const QByteArray &json)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return std::nullopt;
    const QJsonObject root = document.object();
    Entries entries;
    entries.reserve(root.size());
    for (auto it = root.constBegin(); it != root.constEnd(); ++it) {
        std::optional<Entry> entry = entryFrom(it.value());
        // One bad entry costs only itself: its image is read again.
        if (!entry)
            continue;
        entries.insert(it.key().toUtf8(), std::move(*entry));
    }
    return entries;
}

std::optional<OcrStore::Entries> OcrStore::load(const QString &file)
{
    const QByteArray native = QFile::encodeName(file);
    // Never waits on a pipe, never follows a link planted in the store's place.
    const int fd = ::open(native.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ELOOP)
            moveAside(native, QStringLiteral("it is a link"));
        return std::nullopt;
    }
    struct stat st;
    if (::fstat(fd, &st) != 0) {
        ::close(fd);
        return std::nullopt;
    }
    if (!S_ISREG(st.st_mode) || st.st_size > kMaxFileBytes) {
        ::close(fd);
        moveAside(native, S_ISREG(st.st_mode) ? QStringLiteral("it is too large")
                                               : QStringLiteral("it is not a regular file"));
        return std::nullopt;
    }
    QByteArray bytes;
    bytes.resize(qsizetype(st.st_size));
    qsizetype got = 0;
    while (got < bytes.size()) {
        const ssize_t n = ::read(fd, bytes.data() + got, size_t(bytes.size() - got));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        got += n;
    }
    ::close(fd);
    bytes.truncate(got);
    std::optional<Entries> entries = decode(bytes);
    if (!entries)
        moveAside(native, QStringLiteral("it is not a JSON object"));
    return entries;
}

bool OcrStore::save(const QString &file, const Entries &entries)
{
    QSaveFile f(file);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    // The new file takes the place of the old one whole; it holds what the
    // user's pictures say, so it is theirs alone from the start.
    if (::fchmod(f.handle(), S_IRUSR | S_IWUSR) != 0) {
        f.cancelWriting();
        return false;
    }
    const QByteArray bytes = encode(entries);
    if (f.write(bytes) != bytes.size()) {
        f.cancelWriting();
        return false;
    }
    return f.commit();
}
