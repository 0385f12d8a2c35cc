#include "filerecords.h"

#include "contenttypes.h"
#include "disk/diskrules.h"
#include "disk/filedates.h"
#include "model/kind.h"
#include "xattr.h"

#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

namespace {

// Folder names whose contents are build output or dependencies, never the user's own files.
constexpr const char *kExcludedFolders[] = {"build", "intermediates"};

QString extensionOf(const char *name)
{
    const char *dot = std::strrchr(name, '.');
    if (!dot || dot == name || dot[1] == 0)
        return {};
    return QString::fromUtf8(dot + 1).toLower();
}

} // namespace

namespace FileRecords {

unsigned statMask()
{
    return STATX_TYPE | STATX_MODE | STATX_SIZE | STATX_MTIME | STATX_CTIME | STATX_BTIME | STATX_ATIME | STATX_INO;
}

Entry classify(const char *name, bool isDir)
{
    if (name[0] == '.')
        return Entry::skip;
    if (!isDir)
        return Entry::row;
    const QString ext = extensionOf(name);
    if (!ext.isEmpty() && DiskRules::isPackageExtension(ext))
        return DiskRules::isLibraryPackage(ext) ? Entry::skip : Entry::row;
    // Developer asset catalogs are folders of generated files, like build output.
    if (ext == u"xcassets" || !DiskRules::entersFolder(name))
        return Entry::skip;
    for (const char *excluded : kExcludedFolders)
        if (std::strcmp(name, excluded) == 0)
            return Entry::skip;
    return Entry::folder;
}

QString lowerExtension(const QString &name)
{
    const qsizetype dot = name.lastIndexOf(u'.');
    if (dot <= 0 || dot == name.size() - 1)
        return {};
    return name.mid(dot + 1).toLower();
}

IndexRecord make(const QByteArray &path, const char *name, const struct statx &st)
{
    IndexRecord r;
    r.path = path;
    r.name = QString::fromUtf8(name);
    r.dev = qint64(makedev(st.stx_dev_major, st.stx_dev_minor));
    r.ino = qint64(st.stx_ino);
    r.isDir = S_ISDIR(st.stx_mode);
    r.size = r.isDir ? 0 : qint64(st.stx_size);
    const FileDates dates = FileDates::of(st);
    r.modified = dates.modified;
    r.changed = FileDates::millis(st.stx_ctime);
    r.created = dates.created;
    r.added = dates.added;
    if ((st.stx_mask & STATX_ATIME) && FileDates::millis(st.stx_atime) > r.modified)
        r.lastUsed = FileDates::millis(st.stx_atime);
    const QString ext = lowerExtension(r.name);
    if (r.isDir) {
        const bool package = !ext.isEmpty() && DiskRules::isPackageExtension(ext);
        r.contentTypes = !package         ? ContentTypes::forFolder()
                         : ext == u"app" ? ContentTypes::forApplicationBundle()
                                         : ContentTypes::forPackage();
        return r;
    }
    r.contentTypes = ContentTypes::forFile(r.name);
    const QStringList froms = Xattr::whereFroms(path);
    if (!froms.isEmpty())
        r.whereFroms = froms.join(u'\n');
    r.screenCapture = Kinds::of(ext) == Kind::image && DiskRules::hasScreenshotName(r.name.toLower());
    return r;
}

std::optional<IndexRecord> read(const QByteArray &path)
{
    struct statx st;
    if (::statx(AT_FDCWD, path.constData(), AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT, statMask(), &st) != 0)
        return std::nullopt;
    if (!S_ISREG(st.stx_mode) && !S_ISDIR(st.stx_mode))
        return std::nullopt;
    const qsizetype slash = path.lastIndexOf('/');
    const QByteArray name = path.mid(slash + 1);
    if (name.isEmpty() || classify(name.constData(), S_ISDIR(st.stx_mode)) == Entry::skip)
        return std::nullopt;
    return make(path, name.constData(), st);
}

TextFamily familyOf(const IndexRecord &record)
{
    if (record.isDir)
        return TextFamily::none;
    return TextFamilies::of(lowerExtension(record.name));
}

} // namespace FileRecords
