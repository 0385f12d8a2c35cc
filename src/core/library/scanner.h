#pragma once

#include "model/fileitem.h"

#include <QByteArray>
#include <QList>

#include <optional>

// Turns folders on disk into catalog records. Stateless: every call starts
// from nothing. Paths are native bytes, so no file name is ever mistranslated.
class Scanner final
{
public:
    // Walks every root, then every application folder (where only bundles and
    // AppImages count), into one list in enumeration order: depth first, entries of a
    // folder in byte order of their names. A path reached twice keeps the
    // record of the first tree that reached it. Uses every core; blocking.
    static QList<FileItem> scan(const QList<QByteArray> &roots, const QList<QByteArray> &appDirs);

    // The record one step of the walk would make of `path`, if any.
    static std::optional<FileItem> item(const QByteArray &path);

    // Allocated bytes of every regular file under `path`, hidden and package
    // contents included; 0 for an empty or missing folder.
    static qint64 folderSize(const QByteArray &path);

};
