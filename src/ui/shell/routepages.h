#pragma once

#include "model/fileitem.h"
#include "state/route.h"

#include <QList>
#include <QString>

class Library;

// Which page the window shows for a route and a search text, and what the
// plain file-list pages say. Pure: reads the catalog, keeps nothing.
class RoutePages final
{
public:
    enum class Page
    {
        home,
        files,
        kind,
        duplicates,
        cleanup,
        cleanupDetail,
        sources,
        search
    };

    // The texts and files of one file-list page.
    struct FileList
    {
        QString title;
        QString subtitle;
        QList<FileItem> items;
        QString emptySymbol;
        QString emptyTitle;
        QString emptyDetail;

        friend bool operator==(const FileList &, const FileList &) = default;
    };

    // The search page whenever the text holds more than spaces and tabs,
    // whatever the route; otherwise the route's own page.
    static Page pageFor(const Route &route, const QString &query);
    // Whether `route` is one of the plain file lists (recents, large files,
    // screenshots, one download source, one folder).
    static bool isFileList(const Route &route);
    // The page of a file-list route; an empty page for any other route.
    static FileList fileList(const Route &route, const Library &library);
    // What the screenshots subtitle says about reading the text in them.
    static QString ocrNote(int done, int total);
    // The last component of a folder path, for display.
    static QString folderTitle(const QByteArray &folder);
};
