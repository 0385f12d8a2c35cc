#pragma once

#include <QByteArray>
#include <QStringList>

// Extended attributes that say where a downloaded file came from.
namespace Xattr {

// The file's where-from list: [origin, referrer] from the freedesktop
// attributes browsers and downloaders write, else the list stored by the other
// desktop platform as a property list. Empty when there is none or it cannot be read.
QStringList whereFroms(const QByteArray &path);
// The same for the entry `name` of the open folder `dirfd` (whose path is
// `path`): the listing that answers for most files goes through the folder,
// not the whole path again.
QStringList whereFromsAt(int dirfd, const char *name, const QByteArray &path);

// Decodes a property list (binary or XML) holding a list of strings; empty
// when the bytes are not such a list.
QStringList decodeStringList(const QByteArray &plist);

inline constexpr const char *kOrigin = "user.xdg.origin.url";
inline constexpr const char *kReferrer = "user.xdg.referrer.url";
inline constexpr const char *kForeignWhereFroms = "user.com.apple.metadata:kMDItemWhereFroms";

} // namespace Xattr
