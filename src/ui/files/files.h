#pragma once

#include "model/fileitem.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QUrl>

class QMimeData;

// What can be done to files on screen: open them, show them in the file
// manager, put them or their paths on the clipboard, and copy the text found
// in pictures. Main thread; nothing is reported when the desktop refuses.
namespace Files {

void open(const QList<FileItem> &items);
// One request to the file manager to show and select all the files; when
// no file manager answers on the session bus, the first file's folder opens.
void reveal(const QList<FileItem> &items);
// The files as references a file manager pastes as copies.
void copy(const QList<FileItem> &items);
// The paths, one per line, as plain text.
void copyPath(const QList<FileItem> &items);
// The recognised text of the pictures among `items`, read in the background
// when the catalog does not have it yet; the outcome shows in the toast.
void copyText(const QList<FileItem> &items);

// The file's URL made from its native bytes, so a name that is not UTF-8
// stays the same file for the file manager.
QUrl url(const FileItem &item);
// text/uri-list and x-special/gnome-copied-files for the files, and their
// paths as plain text for applications that take only text.
QMimeData *mimeData(const QList<FileItem> &items);
QString pathsText(const QList<FileItem> &items);
// "Copied text from 3 images", "No text found in that image".
QString copiedMessage(qsizetype images);
QString notFoundMessage(qsizetype images);

} // namespace Files
