#pragma once

#include "dupgroup.h"
#include "model/fileitem.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <compare>
#include <optional>

// Finds the files whose contents are byte-for-byte identical. Only files of
// one size are compared, by SHA-256 of their first 64 KiB (after their first
// 4 KiB, for longer files) and, above that, of the whole file (after their
// last 4 KiB and, among three or more files over 1 MiB, a fast hash of all
// of it). A digest is only taken of a file still as the catalog saw it and
// unchanged while read. Holds no state but one process-wide cache of
// digests, valid while a file's size and modification date are unchanged,
// so that a rescan reads only new or changed files.
class Duplicates final
{
public:
    static constexpr qint64 kMinSize = 1024;
    static constexpr qint64 kFirstBytes = 4096;
    static constexpr qint64 kHeadBytes = 65536;
    static constexpr qint64 kChunkBytes = 1 << 20;

    // The groups of identical files, most wasted bytes first. Blocks while it
    // reads files; safe on any thread, also while another search runs.
    // `downloads` is the user's download folder, empty when there is none.
    static QList<DupGroup> find(const QList<FileItem> &items, const QByteArray &downloads = {});

    // SHA-256 (64 lower-case hex digits) of the first `limit` bytes of the
    // file, of all of it without a limit. None when it is not a regular file
    // that can be opened, when no byte could be read, when a read fails, or
    // when the file's size or modification time moved while it was read.
    static std::optional<QString> hash(const QByteArray &path, std::optional<qint64> limit);
    // `hash` through the cache: the first-read digest with kFirstBytes, the
    // head digest with another limit, the full one without. None also when
    // the file's size or modification time is not the item's, before or
    // after the read.
    static std::optional<QString> digest(const FileItem &item, std::optional<qint64> limit);

    struct Bucket
    {
        QString digest;
        QList<FileItem> items; // in input order
    };
    // The items keyed by `digest`, keys in order of first appearance; items
    // without a digest are left out.
    static QList<Bucket> bucket(const QList<FileItem> &items, std::optional<qint64> limit);

    // Orders copies best first: outside the download folder, then not named
    // like a copy, then the oldest.
    struct Rank
    {
        int inDownloads;
        int namedLikeCopy;
        Millis created;
        friend auto operator<=>(const Rank &, const Rank &) = default;
    };
    static Rank rank(const FileItem &item, const QByteArray &downloads);
    // Whether a file name's stem says it is a copy: "report copy", "report copy 2",
    // "report (1)", "report-2".
    static bool looksLikeCopy(const QString &name);

    // Files opened for hashing and bytes read by this process so far.
    struct Reads
    {
        quint64 files = 0;
        quint64 bytes = 0;
    };
    static Reads reads();
};
