#include "routepages.h"

#include "library/library.h"
#include "model/fmt.h"
#include "model/summary.h"
#include "search/searchtexts.h"

#include <QFile>

namespace {

const QString kNothingYet = QStringLiteral("Nothing here yet");
const QString kWillShowUp = QStringLiteral("Files will show up here as they arrive.");

RoutePages::FileList page(QString title, QString subtitle, QList<FileItem> items, QString symbol)
{
    return {std::move(title), std::move(subtitle), std::move(items), std::move(symbol), kNothingYet, kWillShowUp};
}

} // namespace

RoutePages::Page RoutePages::pageFor(const Route &route, const QString &query)
{
    if (SearchTexts::isSearch(query))
        return Page::search;
    switch (route.which()) {
    case Route::Case::home:
        return Page::home;
    case Route::Case::kind:
        return Page::kind;
    case Route::Case::duplicates:
        return Page::duplicates;
    case Route::Case::cleanup:
        return Page::cleanup;
    case Route::Case::cleanupDetail:
        return Page::cleanupDetail;
    case Route::Case::sources:
        return Page::sources;
    case Route::Case::recents:
    case Route::Case::large:
    case Route::Case::screenshots:
    case Route::Case::source:
    case Route::Case::folder:
        return Page::files;
    }
    return Page::home;
}

bool RoutePages::isFileList(const Route &route)
{
    return pageFor(route, {}) == Page::files;
}

RoutePages::FileList RoutePages::fileList(const Route &route, const Library &library)
{
    const QString file = QStringLiteral("file");
    switch (route.which()) {
    case Route::Case::recents:
        return page(QStringLiteral("Recents"),
                    QStringLiteral("The latest ") + QString::number(library.recents().size()) +
                        QStringLiteral(" files to arrive or change"),
                    library.recents(), QStringLiteral("tray"));
    case Route::Case::large: {
        FileList out = page(QStringLiteral("Large Files"),
                            QStringLiteral("Over 100 MB \u00B7 ") + summary(library.largeFiles(), file),
                            library.largeFiles(), QStringLiteral("externaldrive"));
        out.emptyTitle = QStringLiteral("No large files");
        out.emptyDetail = QStringLiteral("Nothing over 100 MB in your folders.");
        return out;
    }
    case Route::Case::screenshots:
        return page(QStringLiteral("Screenshots"),
                    summary(library.screenshots(), QStringLiteral("screenshot")) +
                        ocrNote(library.ocrDone(), library.ocrTotal()),
                    library.screenshots(), QStringLiteral("camera.viewfinder"));
    case Route::Case::source: {
        const QString name = route.asSource().value_or(QString());
        QList<FileItem> files;
        for (const SourceGroup &group : library.sources()) {
            if (group.name == name) {
                files = group.items;
                break;
            }
        }
        return page(name, QStringLiteral("Downloaded from here \u00B7 ") + summary(files, file), files,
                    QStringLiteral("tray"));
    }
    case Route::Case::folder: {
        const QByteArray folder = route.asFolder().value_or(QByteArray());
        const QList<FileItem> files = library.items(folder);
        return page(folderTitle(folder),
                    Fmt::path(QFile::decodeName(folder)) + QStringLiteral(" \u00B7 ") + summary(files, file), files,
                    QStringLiteral("folder"));
    }
    default:
        return {};
    }
}

QString RoutePages::ocrNote(int done, int total)
{
    if (done >= total)
        return QStringLiteral(" \u00B7 text inside is searchable");
    return QStringLiteral(" \u00B7 reading text ") + QString::number(done) + u'/' + QString::number(total);
}

QString RoutePages::folderTitle(const QByteArray &folder)
{
    QByteArray path = folder;
    while (path.size() > 1 && path.endsWith('/'))
        path.chop(1);
    const qsizetype slash = path.lastIndexOf('/');
    const QByteArray last = slash >= 0 && slash + 1 < path.size() ? path.mid(slash + 1) : path;
    return QFile::decodeName(last);
}
