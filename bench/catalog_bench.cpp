// The catalog holding 1,000,000 records: resident bytes per record, and the
// time one derive of every list takes.
#include "benchsupport.h"
#include "library/library.h"
#include "search/searchindex.h"

#include <QCoreApplication>
#include <QEventLoop>

#include <cstdio>

namespace {

constexpr int kRecords = 1'000'000;

const char *const kFolders[] = {"Documents/Projects/Website Redesign", "Downloads",
                                "Pictures/2024/Summer Trip to Lisbon", "Music/Albums/Live Recordings",
                                "Desktop", "Videos/Family"};
const char *const kExts[] = {"pdf", "jpg", "png", "txt", "mp3", "mov", "zip", "docx", "dmg", "heic"};
const char *const kSources[] = {"Gmail", "Slack", "GitHub", "example.org", "ChatGPT"};

QList<FileItem> makeRecords()
{
    QList<FileItem> out;
    out.reserve(kRecords);
    for (int i = 0; i < kRecords; ++i) {
        FileItem::Fields f;
        const char *ext = kExts[i % 10];
        f.path = QByteArray("/home/someone/") + kFolders[i % 6] + "/sub" + QByteArray::number(i / 500) +
                 "/Quarterly report draft " + QByteArray::number(i) + '.' + ext;
        f.ext = QString::fromLatin1(ext);
        f.kind = Kinds::of(f.ext);
        // Mostly small files, one in a hundred over 100 MB, as in a real home folder.
        f.size = i % 100 == 0 ? 150'000'000 + i : (i * 7919LL) % 5'000'000;
        f.modified = 1'600'000'000'000LL + i * 1000LL;
        f.created = f.modified;
        f.added = f.modified + (i % 3) * 5000;
        if (i % 7 == 0)
            f.source = QString::fromLatin1(kSources[i % 5]);
        f.isScreenshot = i % 50 == 0;
        out.append(FileItem(f));
    }
    return out;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const qint64 before = Bench::residentBytes();

    Library::Environment env;
    env.home = "/home/someone";
    env.demoRoots = Library::Paths{"/home/someone/Documents"};
    env.appDirs = [] { return Library::Paths{}; };
    env.now = [] { return Millis(1'700'000'000'000); };
    env.later = [](int, std::function<void()>) {};
    env.scan = [](const Library::Paths &, const Library::Paths &) { return makeRecords(); };
    env.folderSize = [](const QByteArray &) { return qint64(0); };
    env.watchFolders = false;
    env.prepareForBrowsing = true; // as the application's catalog
    Library library(std::move(env));

    QEventLoop loop;
    QObject::connect(&library, &Library::appsSized, &loop, &QEventLoop::quit);
    library.rescan(false);
    loop.exec();
    const qint64 after = Bench::residentBytes();
    qint64 pathBytes = 0;
    for (const FileItem &item : library.items())
        pathBytes += item.path().size();
    std::printf("catalog bench: %d records, paths of %.0f bytes on average\n", kRecords,
                double(pathBytes) / kRecords);
    std::printf("  resident growth  %.1f MB = %.0f bytes per record (items, every derived list, paths)\n",
                double(after - before) / 1e6, double(after - before) / kRecords);

    // Built with the catalog, before it is published, so the first search waits for nothing.
    const auto table = SearchIndex::of(library.items(), library.ocr(), library.subjects());
    std::printf("  of which the search side table %.1f MB = %.0f bytes per record\n", double(table->bytes()) / 1e6,
                double(table->bytes()) / kRecords);
    const double seconds = Bench::medianSeconds(7, [&] { library.derive(); });
    std::printf("  derive           %.1f ms (median of 7)\n", seconds * 1000);
    return 0;
}
