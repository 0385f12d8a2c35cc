#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

// A path as a subcommand takes it: written as a path, or as the file:// URI
// the JSON output carries (the only form that keeps every byte of a name
// that is not UTF-8). None, with a one-line reason, for a URI of no local file.
std::optional<QByteArray> pathArgument(const QByteArray &given, QString *error);
std::optional<QByteArray> pathArgument(const QString &given, QString *error);
// `path` made absolute against the current folder and cleaned of ".", ".."
// and doubled slashes, by its bytes.
QByteArray absolutePath(QByteArray path);
// A colon-separated list of paths, where "file:" starts a URI rather than ending a path.
std::optional<QList<QByteArray>> pathListArgument(const QString &given, QString *error);
