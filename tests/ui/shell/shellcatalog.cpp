#include "shellcatalog.h"

#include "tempdir.h"

#include <QFile>
#include <QTimer>

namespace ShellCatalog {

FileItem file(const QByteArray &path, qint64 size, std::optional<QString> source)
{
    FileItem::Fields f;
    f.path = path;
    f.ext = lowerExtension(QFile::decodeName(path.mid(path.lastIndexOf('/') + 1)));
    f.kind = Kinds::of(f.ext);
    f.size = size;
    f.modified = kNow;
    f.added = kNow;
    f.source = std::move(source);
    return FileItem(f);
}

std::unique_ptr<Library> make(const QByteArray &home, const Contents &contents)
{
    Library::Environment env;
    env.home = home;
    env.standardCandidates = contents.standard;
    env.appDirs = [] { return Library::Paths{}; };
    env.now = [] { return kNow; };
    env.later = [](int ms, std::function<void()> action) { QTimer::singleShot(ms, action); };
    env.scan = [records = contents.records](const Library::Paths &, const Library::Paths &) { return records; };
    env.folderSize = [](const QByteArray &) { return qint64(0); };
    env.findDuplicates = [dups = contents.dups](const QList<FileItem> &, const QByteArray &) { return dups; };
    env.cleanupCards = [cards = contents.cards](const QList<FileItem> &, const QList<DupGroup> &, Millis, const QByteArray &) {
        return cards;
    };
    env.startTextRecognition = [](const QList<FileItem> &) {};
    env.watchFolders = false;
    auto library = std::make_unique<Library>(env);
    library->rescan(false);
    waitUntil([&] { return library->hasScanned() && !library->isScanning() && !library->dupScanning(); });
    return library;
}

} // namespace ShellCatalog
