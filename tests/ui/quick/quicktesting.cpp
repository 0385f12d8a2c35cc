#include "quicktesting.h"

#include "records.h"
#include "tempdir.h"

#include <QTimer>

namespace {

constexpr Millis kJan2025 = 1735689600000;

} // namespace

FileItem record(const QByteArray &path, int day)
{
    FileItem::Fields f = fieldsFor(path);
    f.modified = f.created = f.added = kJan2025 + Millis(day) * 86'400'000;
    f.size = 1000 + day;
    return FileItem(f);
}

std::unique_ptr<Library> catalogOf(const QList<FileItem> &records, bool scan)
{
    Library::Environment env;
    env.home = "/home/ana";
    env.demoRoots = Library::Paths{"/home/ana/Documents"};
    env.appDirs = [] { return Library::Paths{}; };
    env.now = [] { return kJan2025 + 400 * 86'400'000LL; };
    env.later = [](int delay, std::function<void()> action) { QTimer::singleShot(delay, action); };
    env.scan = [records](const Library::Paths &, const Library::Paths &) { return records; };
    env.folderSize = [](const QByteArray &) { return qint64(0); };
    env.findDuplicates = [](const QList<FileItem> &, const QByteArray &) { return QList<DupGroup>{}; };
    env.watchFolders = false;
    auto library = std::make_unique<Library>(std::move(env));
    if (scan) {
        library->rescan(false);
        waitUntil([&] { return library->hasScanned() && !library->busy(); });
    }
    return library;
}
