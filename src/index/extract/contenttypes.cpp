#include "contenttypes.h"

#include <QMimeDatabase>
#include <QMimeType>
#include <QStringList>

namespace ContentTypes {

QString forFile(const QString &name)
{
    static const QMimeDatabase db;
    // By name only: reading every file's first bytes would double the pass's disk work.
    const QMimeType mime = db.mimeTypeForFile(name, QMimeDatabase::MatchExtension);
    QStringList tree;
    const QString type = mime.name();
    if (!mime.isDefault())
        tree.append(type);
    if (type.startsWith(u"image/"))
        tree.append(QStringLiteral("public.image"));
    else if (type.startsWith(u"video/"))
        tree.append(QStringLiteral("public.movie"));
    else if (type.startsWith(u"audio/"))
        tree.append(QStringLiteral("public.audio"));
    else if (type == u"application/pdf")
        tree.append(QStringLiteral("com.adobe.pdf"));
    // AppImages are the applications here, so a search for apps finds them too.
    if (name.endsWith(u".appimage", Qt::CaseInsensitive))
        tree.append(QStringLiteral("com.apple.application-bundle"));
    if (!mime.isDefault() && mime.inherits(QStringLiteral("text/plain")))
        tree.append(QStringLiteral("public.text"));
    tree.append(QStringLiteral("public.data"));
    return tree.join(u'\n');
}

QString forFolder()
{
    return QStringLiteral("public.folder\npublic.directory");
}

QString forApplicationBundle()
{
    return QStringLiteral("com.apple.application-bundle\ncom.apple.package\npublic.directory");
}

QString forPackage()
{
    return QStringLiteral("com.apple.package\npublic.directory");
}

} // namespace ContentTypes
