#include "windowtesting.h"

#include "records.h"
#include "tempdir.h"

#include <QTimer>

#include <gtest/gtest.h>

namespace {

// Paths under the test home read "~/…", and the metadata index of the
// machine running the tests is never asked: set before anything reads it.
const bool kDemoHome = [] {
    qputenv("TOVALO_DEMO_HOME", TestCatalog::kHome);
    return true;
}();

} // namespace

Library::Environment TestCatalog::environment() const
{
    Library::Environment env;
    env.home = kHome;
    env.demoRoots = Library::Paths{QByteArray(kHome) + "/Documents", QByteArray(kHome) + "/Downloads"};
    env.appDirs = [] { return Library::Paths{}; };
    env.now = [] { return kNow; };
    env.later = [](int delay, std::function<void()> action) { QTimer::singleShot(delay, std::move(action)); };
    env.scan = [disk = disk](const Library::Paths &, const Library::Paths &) { return disk; };
    env.folderSize = [](const QByteArray &) { return qint64(0); };
    env.findDuplicates = [](const QList<FileItem> &, const QByteArray &) { return QList<DupGroup>{}; };
    env.watchFolders = false;
    return env;
}

FileItem record(const QByteArray &path, qint64 size, int daysAgo)
{
    FileItem::Fields f = fieldsFor(path);
    f.size = size;
    f.modified = f.created = f.added = TestCatalog::kNow - daysAgo * TestCatalog::kDay;
    return FileItem(f);
}

void scanAndWait(Library &library)
{
    library.rescan(false);
    ASSERT_TRUE(waitUntil([&] { return library.hasScanned() && !library.isScanning(); }));
}
