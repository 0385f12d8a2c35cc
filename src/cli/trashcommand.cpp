#include "commands.h"
#include "library/library.h"
#include "library/scanner.h"
#include "model/fileuri.h"
#include "pathargument.h"
#include "recordjson.h"
#include "state/trasher.h"

#include <cstdio>
#include <QDir>
#include <QFile>
#include <QJsonObject>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr char kUsage[] =
    "usage: tovalo-cli trash [--] PATH...\n"
    "Moves the files to the Trash as one batch; a PATH may be a file:// URI as the other\n"
    "subcommands print them. Prints the outcome on one line, then one JSON line\n"
    "{\"from\", \"to\", \"uri\", \"toUri\"} per file moved. Exit status 0 when every file moved, 1 "
    "otherwise,\n"
    "and 1 with nothing moved when a PATH is empty.\n";

// The arguments exactly as the shell passed them: a name that is not valid
// UTF-8 would not survive the trip through QString and must still reach its file.
QList<QByteArray> rawArguments(const QStringList &arguments)
{
    QFile cmdline(QStringLiteral("/proc/self/cmdline"));
    QList<QByteArray> raw;
    if (cmdline.open(QIODevice::ReadOnly))
        raw = cmdline.readAll().split('\0');
    if (!raw.isEmpty())
        raw.removeLast(); // the list ends in a NUL
    if (raw.size() >= arguments.size()) {
        const QList<QByteArray> tail = raw.mid(raw.size() - arguments.size());
        bool same = true;
        for (qsizetype i = 0; same && i < tail.size(); ++i)
            same = QFile::decodeName(tail.at(i)) == arguments.at(i);
        if (same)
            return tail;
    }
    QList<QByteArray> encoded;
    for (const QString &a : arguments)
        encoded.append(QFile::encodeName(a));
    return encoded;
}

FileItem itemAt(const QByteArray &given)
{
    FileItem::Fields f;
    f.path = given;
    if (!f.path.startsWith('/'))
        f.path = QFile::encodeName(QDir::currentPath()) + '/' + f.path;
    while (f.path.size() > 1 && f.path.endsWith('/'))
        f.path.chop(1);
    struct stat st;
    if (::lstat(f.path.constData(), &st) == 0)
        f.size = S_ISDIR(st.st_mode) ? Scanner::folderSize(f.path) : qint64(st.st_size);
    return FileItem(f);
}

} // namespace

int runTrash(const QStringList &arguments)
{
    const QList<QByteArray> raw = rawArguments(arguments);
    QList<QByteArray> paths;
    bool options = true;
    for (qsizetype i = 1; i < raw.size(); ++i) {
        const QByteArray &a = raw.at(i);
        if (options && a == "--") {
            options = false;
        } else if (options && (a == "-h" || a == "--help")) {
            std::fputs(kUsage, stdout);
            return 0;
        } else if (options && a.size() > 1 && a.startsWith('-')) {
            return complain(
                QStringLiteral("tovalo-cli: unknown option: %1").arg(QFile::decodeName(a)));
        } else {
            QString error;
            const std::optional<QByteArray> path = pathArgument(a, &error);
            if (!path)
                return complain(QStringLiteral("tovalo-cli: trash: %1").arg(error));
            paths.append(*path);
        }
    }
    if (paths.isEmpty())
        return complain(QStringLiteral("tovalo-cli: trash needs at least one PATH"));
    // An empty argument is a script's unset variable, never a wish to trash the current folder.
    if (paths.contains(QByteArray())) {
        std::fputs("tovalo-cli: an empty PATH names no file; nothing was moved\n", stderr);
        return 1;
    }

    // An empty catalog: the files leave nothing behind in it, and nothing is scanned.
    Library::Environment catalog;
    catalog.home = QFile::encodeName(QDir::homePath());
    catalog.watchFolders = false;
    Library library(std::move(catalog));
    Trasher::Environment env;
    env.library = &library;
    env.later = [](int, std::function<void()>) {}; // the process ends before any message would
    Trasher trasher(std::move(env));
    QObject::connect(&trasher, &Trasher::moveFailed, [](const QByteArray &, const QString &reason) {
        std::fprintf(stderr, "tovalo-cli: %s\n", qPrintable(reason));
    });

    QList<FileItem> items;
    for (const QByteArray &p : paths)
        items.append(itemAt(p));
    trasher.trash(items);

    QByteArray out = trasher.message().value_or(QString()).toUtf8() + '\n';
    for (const Trasher::Move &m : trasher.lastBatch())
        out += jsonLine(QJsonObject{{QStringLiteral("from"), QFile::decodeName(m.from)},
                                    {QStringLiteral("to"), QFile::decodeName(m.to)},
                                    {QStringLiteral("uri"), QString::fromLatin1(FileUri::fromPath(m.from))},
                                    {QStringLiteral("toUri"), QString::fromLatin1(FileUri::fromPath(m.to))}});
    writeOut(out);
    return trasher.lastBatch().size() == items.size() ? 0 : 1;
}
