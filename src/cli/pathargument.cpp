#include "pathargument.h"

#include "model/fileuri.h"

#include <QDir>
#include <QFile>

std::optional<QByteArray> pathArgument(const QByteArray &given, QString *error)
{
    if (!FileUri::looksLikeUri(given))
        return given;
    std::optional<QByteArray> path = FileUri::toPath(given);
    if (!path && error)
        *error = QStringLiteral("not the URI of a local file: %1").arg(QString::fromLatin1(given));
    return path;
}

std::optional<QByteArray> pathArgument(const QString &given, QString *error)
{
    return pathArgument(QFile::encodeName(given), error);
}

QByteArray absolutePath(QByteArray path)
{
    if (!path.startsWith('/'))
        path = QFile::encodeName(QDir::currentPath()) + '/' + path;
    // Clean as QDir::cleanPath does, but on bytes.
    QList<QByteArray> kept;
    for (const QByteArray &part : path.split('/')) {
        if (part.isEmpty() || part == ".")
            continue;
        if (part == "..") {
            if (!kept.isEmpty())
                kept.removeLast();
            continue;
        }
        kept.append(part);
    }
    return '/' + kept.join('/');
}

std::optional<QList<QByteArray>> pathListArgument(const QString &given, QString *error)
{
    const QStringList pieces = given.split(u':', Qt::SkipEmptyParts);
    QList<QByteArray> paths;
    for (qsizetype i = 0; i < pieces.size(); ++i) {
        QString piece = pieces.at(i);
        // Our URIs escape every colon of the path, so the scheme's is the only one.
        if (piece.compare(QLatin1String("file"), Qt::CaseInsensitive) == 0 && i + 1 < pieces.size() &&
            pieces.at(i + 1).startsWith(u'/'))
            piece += u':' + pieces.at(++i);
        std::optional<QByteArray> path = pathArgument(piece, error);
        if (!path)
            return std::nullopt;
        paths.append(*path);
    }
    return paths;
}
