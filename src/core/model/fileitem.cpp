#include "fileitem.h"

#include <QFile>

#include <utility>

FileItem::FileItem() : d(new Data) {}

FileItem::FileItem(const Fields &f) : d(new Data)
{
    // Catalogs run to hundreds of thousands of records: each byte here counts that often.
    static_assert(sizeof(Data) <= 96);
    d->path = f.path;
    d->modified = f.modified;
    d->created = f.created;
    d->added = f.added;
    d->lastUsed = f.lastUsed.value_or(kNoDate);
    d->size = f.size;
    d->inode = f.inode;
    d->device = f.device;
    d->kind = f.kind;
    d->isScreenshot = f.isScreenshot;
    d->isCloudOnly = f.isCloudOnly;
    const qsizetype slash = d->path.lastIndexOf('/');
    d->nameStart = quint16(slash < 0 ? 0 : slash + 1);
    d->extId = f.extId ? *f.extId : StringPool::intern(f.ext);
    d->extUnpooled = d->extId == StringPool::kNone && !f.ext.isEmpty();
    if (f.sourceId)
        d->sourceId = *f.sourceId;
    else if (f.source && !f.source->isEmpty())
        d->sourceId = StringPool::intern(*f.source);
}

QString FileItem::pathString() const
{
    return QFile::decodeName(d->path);
}

QUrl FileItem::url() const
{
    return QUrl::fromLocalFile(pathString());
}

QString FileItem::name() const
{
    return QFile::decodeName(nameBytes());
}

QString FileItem::ext() const
{
    if (d->extUnpooled)
        return lowerExtension(name());
    return StringPool::text(d->extId);
}

std::optional<QString> FileItem::source() const
{
    if (d->sourceId == StringPool::kNone)
        return std::nullopt;
    return StringPool::text(d->sourceId);
}

std::optional<Millis> FileItem::lastUsed() const
{
    if (d->lastUsed == kNoDate)
        return std::nullopt;
    return d->lastUsed;
}

void FileItem::setLastUsed(std::optional<Millis> date)
{
    d->lastUsed = date.value_or(kNoDate);
}

void FileItem::setNameRank(quint16 ranking, quint32 rank)
{
    // Read first: a record that already holds these stays shared.
    if (std::as_const(*this).d->nameRanking == ranking && std::as_const(*this).d->nameRank == rank)
        return;
    d->nameRanking = ranking;
    d->nameRank = rank;
}

void FileItem::setSize(qint64 size)
{
    if (d->size != size)
        d->size = size;
}

QString FileItem::displayName() const
{
    QString n = name();
    if (d->kind == Kind::app) {
        const qsizetype dot = n.lastIndexOf(u'.');
        if (dot > 0)
            n.truncate(dot);
    }
    return n;
}

QString lowerExtension(QStringView name)
{
    const qsizetype dot = name.lastIndexOf(u'.');
    if (dot <= 0 || dot == name.size() - 1)
        return {};
    return name.mid(dot + 1).toString().toLower();
}

bool isInside(const QByteArray &path, const QByteArray &folder)
{
    if (folder.isEmpty())
        return false;
    const qsizetype n = folder.endsWith('/') ? folder.size() - 1 : folder.size();
    return path.size() > n + 1 && path.startsWith(QByteArrayView(folder).first(n)) && path.at(n) == '/';
}
