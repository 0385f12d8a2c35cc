#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

#include <optional>

// The file that keeps what was read from images across runs: one JSON object
// whose member names are file paths and whose values hold `m` (modification
// time in seconds since 1970, fractional), `s` (size in bytes), `t` (the text)
// and, for entries whose labels were read, `l` (the subject labels).
class OcrStore final
{
public:
    struct Entry
    {
        double m = 0.0;
        qint64 s = 0;
        QString t;
        std::optional<QStringList> l;

        friend bool operator==(const Entry &, const Entry &) = default;
    };
    // Keyed by the file's path bytes.
    using Entries = QHash<QByteArray, Entry>;

    OcrStore() = delete;

    // Largest store read: far beyond any real one, small enough to read whole.
    static constexpr qint64 kMaxFileBytes = 256 << 20;

    // The entries of `file`; std::nullopt when it is missing or unreadable. A
    // store that is not a regular file (a pipe, a device, a link), is larger
    // than kMaxFileBytes or is not a JSON object at all is damaged: it is
    // moved aside to "<file>.damaged-<time>", never read, and a new one begins.
    static std::optional<Entries> load(const QString &file);
    // Replaces `file` with all of `entries` in one step, readable by the user
    // alone. False when it could not be written.
    static bool save(const QString &file, const Entries &entries);

    // Compact JSON. A path that is not valid UTF-8 cannot be a JSON member
    // name that reads back to the same bytes, so such entries stay out.
    static QByteArray encode(const Entries &entries);
    // std::nullopt unless `json` is one JSON object; members that are not
    // well-formed entries are skipped, the rest kept.
    static std::optional<Entries> decode(const QByteArray &json);
};
