#pragma once

#include "kind.h"
#include "stringpool.h"

#include <QByteArray>
#include <QHashFunctions>
#include <QSharedData>
#include <QString>
#include <QUrl>

#include <limits>
#include <optional>

// Milliseconds since 1970-01-01T00:00:00Z.
using Millis = qint64;
// 0001-01-01T00:00:00Z: the date given to files whose file system reports none.
inline constexpr Millis kDistantPast = -62135596800000LL;

// One catalogued file, application bundle or document package.
//
// The location is kept as the exact bytes the file system gave, so that a name
// that is not valid UTF-8 still reaches the right file in every later file
// operation; the QString and QUrl forms are for display and lookups.
// Shared strings (extension, source) are pool ids, keeping a record small.
class FileItem final
{
public:
    struct Fields
    {
        QByteArray path; // native bytes, absolute
        QString ext;     // lower-cased; empty when none
        Kind kind = Kind::other;
        qint64 size = 0;
        Millis modified = kDistantPast;
        Millis created = kDistantPast;
        Millis added = kDistantPast;
        std::optional<QString> source;
        bool isScreenshot = false;
        bool isCloudOnly = false;
        std::optional<Millis> lastUsed;
        // Which file on disk this record was made from; 0 when not read from the disk.
        quint64 inode = 0;
        quint32 device = 0; // FileItem::deviceOf(st_dev)
        // Pool ids the caller already holds for `ext` and `source`; saves a
        // locked lookup per record when a scan makes many of them.
        std::optional<quint16> extId;
        std::optional<quint16> sourceId;
    };

    FileItem();
    explicit FileItem(const Fields &f);

    const QByteArray &path() const { return d->path; }
    QString pathString() const;
    QUrl url() const;
    // The last path component as bytes and for display.
    QByteArray nameBytes() const { return d->path.mid(d->nameStart); }
    QString name() const;
    QString ext() const;
    quint16 extId() const { return d->extId; }
    Kind kind() const { return d->kind; }
    qint64 size() const { return d->size; }
    Millis modified() const { return d->modified; }
    Millis created() const { return d->created; }
    Millis added() const { return d->added; }
    std::optional<QString> source() const;
    quint16 sourceId() const { return d->sourceId; }
    bool isScreenshot() const { return d->isScreenshot; }
    bool isCloudOnly() const { return d->isCloudOnly; }
    std::optional<Millis> lastUsed() const;
    quint64 inode() const { return d->inode; }
    quint32 device() const { return d->device; }
    // Whether the record names the very file it was read from (not only its path).
    bool hasIdentity() const { return d->inode != 0; }
    // A device number packed into 32 bits (12 for the major, 20 for the minor, as the kernel allots them).
    static quint32 deviceOf(quint32 major, quint32 minor) { return (major << 20) | (minor & 0xfffffU); }

    void setSize(qint64 size);
    void setLastUsed(std::optional<Millis> date);

    // The place of the name in one ranking of a whole catalog by name
    // (NameOrder): records of the same ranking compare by rank alone, and
    // equal names share one. Ranking 0 is none.
    quint16 nameRanking() const { return d->nameRanking; }
    quint32 nameRank() const { return d->nameRank; }
    void setNameRank(quint16 ranking, quint32 rank);

    // An application shows without its ".app"; every other kind by its name.
    QString displayName() const;
    // The later of modified and added: the date of every newest-first order.
    Millis activity() const { return d->modified > d->added ? d->modified : d->added; }

    // Identity is the location; equality also takes the size.
    friend bool operator==(const FileItem &a, const FileItem &b)
    {
        return a.d == b.d || (a.d->size == b.d->size && a.d->path == b.d->path);
    }

private:
    static constexpr Millis kNoDate = std::numeric_limits<Millis>::min();

    struct Data : QSharedData
    {
        // First, where it fills the gap the reference count leaves.
        quint32 device = 0;
        QByteArray path;
        Millis modified = kDistantPast;
        Millis created = kDistantPast;
        Millis added = kDistantPast;
        Millis lastUsed = kNoDate;
        qint64 size = 0;
        quint64 inode = 0;
        quint16 nameStart = 0;
        quint16 extId = StringPool::kNone;
        quint16 sourceId = StringPool::kNone;
        Kind kind = Kind::other;
        bool isScreenshot = false;
        bool isCloudOnly = false;
        // Set when the pool was full and the extension must be derived from the name.
        bool extUnpooled = false;
        // In what was padding: a name sort then compares two integers.
        quint16 nameRanking = 0;
        quint32 nameRank = 0;
    };
    // Shared, copy-on-write: the catalog's lists (by kind, recents, groups…)
    // hold the same record many times over at the cost of a pointer each.
    QSharedDataPointer<Data> d;
};

// One pointer that may be moved in memory: lists of records grow by plain copies.
Q_DECLARE_TYPEINFO(FileItem, Q_RELOCATABLE_TYPE);

inline size_t qHash(const FileItem &item, size_t seed = 0)
{
    return qHash(item.path(), seed);
}

// Whether `path` lies somewhere below `folder` (the folder itself is not
// below it); never for an empty folder.
bool isInside(const QByteArray &path, const QByteArray &folder);

// The path extension of a file name, lower-cased: the text after the last dot,
// empty when the name has no dot, starts with its only dot, or ends in one.
QString lowerExtension(QStringView name);
