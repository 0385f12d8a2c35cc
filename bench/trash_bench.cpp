// Moves 1,500 catalogued files to the Trash and puts them back with one Undo,
// in a temporary home, and prints the times; the move alone is compared with
// GLib's `gio trash` and trash-cli's `trash-put` on the same files.
#include "benchsupport.h"
#include "library/library.h"
#include "state/trasher.h"

#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <ftw.h>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLoggingCategory>
#include <QProcess>
#include <QTemporaryDir>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kFiles = 1500;
constexpr int kFolders = 30;
constexpr int kFileBytes = 4096;
constexpr int kRuns = 5;

QList<FileItem> writeFiles(const QByteArray &root)
{
    QList<FileItem> items;
    const QByteArray body(kFileBytes, 'x');
    for (int i = 0; i < kFiles; ++i) {
        const QByteArray folder = root + "/folder " + QByteArray::number(i % kFolders);
        ::mkdir(folder.constData(), 0755);
        FileItem::Fields f;
        f.path = folder + "/file " + QByteArray::number(i) + ".dat";
        f.size = kFileBytes;
        const int fd = ::open(f.path.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (fd >= 0) {
            (void)!::write(fd, body.constData(), size_t(body.size()));
            ::close(fd);
        }
        items.append(FileItem(f));
    }
    return items;
}

int present(const QList<FileItem> &items)
{
    return int(std::count_if(items.begin(), items.end(), [](const FileItem &i) {
        struct stat st;
        return ::lstat(i.path().constData(), &st) == 0;
    }));
}

void removeTree(const QByteArray &path)
{
    ::nftw(
        path.constData(),
        [](const char *p, const struct stat *, int, struct FTW *) {
            ::remove(p);
            return 0;
        },
        32, FTW_DEPTH | FTW_PHYS);
}

// This thread's processor time: the part of a phase that the code, not the disk or a busy machine,
// decides.
double cpuSeconds()
{
    timespec t;
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

const char *fileSystemName(const QByteArray &path)
{
    struct statfs fs;
    if (::statfs(path.constData(), &fs) != 0)
        return "unknown";
    switch (fs.f_type) {
    case 0xEF53:
        return "ext4";
    case 0x01021994:
        return "tmpfs";
    case 0x9123683E:
        return "btrfs";
    case 0x58465342:
        return "xfs";
    case 0x794c7630:
        return "overlayfs";
    default:
        return "other";
    }
}

// Writing one small record per file is the part of a move to the Trash that
// the disk decides; timing just that, here and now, tells a slow disk from slow code.
double recordFloorSeconds(const QByteArray &folder)
{
    ::mkdir(folder.constData(), 0700);
    const QByteArray record(80, 'r');
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < kFiles; ++i) {
        const QByteArray path = folder + "/record " + QByteArray::number(i);
        const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd >= 0) {
            (void)!::write(fd, record.constData(), size_t(record.size()));
            ::close(fd);
        }
    }
    const double seconds = double(clock.nsecsElapsed()) / 1e9;
    removeTree(folder);
    return seconds;
}

// One run of a peer command over all the files, fresh each time; seconds, or -1 when it failed.
double peerSeconds(const QString &program, const QStringList &before, const QByteArray &root,
                   const QByteArray &home, const QByteArray &data)
{
    const QList<FileItem> items = writeFiles(root);
    QStringList args = before;
    for (const FileItem &i : items)
        args.append(i.pathString());
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), QFile::decodeName(home));
    env.insert(QStringLiteral("XDG_DATA_HOME"), QFile::decodeName(data));
    p.setProcessEnvironment(env);
    p.setStandardOutputFile(QProcess::nullDevice());
    p.setStandardErrorFile(QProcess::nullDevice());
    QElapsedTimer clock;
    clock.start();
    p.start(program, args);
    const bool ran =
        p.waitForFinished(-1) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    const double seconds = double(clock.nsecsElapsed()) / 1e9;
    const bool allGone = present(items) == 0;
    removeTree(data + "/Trash");
    return ran && allGone ? seconds : -1;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    // Each Undo rescans; its log line would only interleave with the figures.
    QLoggingCategory::setFilterRules(QStringLiteral("tovalo.catalog.info=false"));
    QTemporaryDir scratch(QDir::tempPath() + QStringLiteral("/tovalo-trash-bench-XXXXXX"));
    const QByteArray root = QFile::encodeName(scratch.path());
    const QByteArray home = root + "/home";
    const QByteArray data = home + "/.local/share";
    const QByteArray files = home + "/Documents";
    QDir().mkpath(QFile::decodeName(data));
    QDir().mkpath(QFile::decodeName(files));
    const QList<FileItem> items = writeFiles(files);

    Library::Environment catalog;
    catalog.home = home;
    catalog.demoRoots = Library::Paths{files};
    catalog.appDirs = [] { return Library::Paths{}; };
    catalog.now = [] { return Millis(0); };
    catalog.later = [](int, std::function<void()>) {};
    catalog.scan = [items](const Library::Paths &, const Library::Paths &) { return items; };
    catalog.watchFolders = false;
    Library library(std::move(catalog));
    FreedesktopTrash::Config config = FreedesktopTrash::Config::fromProcess();
    config.dataHome = data;
    Trasher trasher(Trasher::Environment{&library, nullptr, FreedesktopTrash(config),
                                         [](int, std::function<void()>) {}});

    std::vector<double> trashTimes, undoTimes, bothTimes, trashCpu, undoCpu;
    int restored = kFiles;
    QString trashMessage, undoMessage;
    for (int run = 0; run < kRuns; ++run) {
        library.rescan(false);
        while (library.isScanning())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
        QElapsedTimer clock;
        clock.start();
        double cpu = cpuSeconds();
        trasher.trash(library.items());
        const double trashed = double(clock.nsecsElapsed()) / 1e9;
        trashCpu.push_back(cpuSeconds() - cpu);
        trashMessage = trasher.message().value_or(QString());
        clock.restart();
        cpu = cpuSeconds();
        trasher.undo();
        const double undone = double(clock.nsecsElapsed()) / 1e9;
        undoCpu.push_back(cpuSeconds() - cpu);
        undoMessage = trasher.message().value_or(QString());
        trashTimes.push_back(trashed);
        undoTimes.push_back(undone);
        bothTimes.push_back(trashed + undone);
        restored = std::min(restored, present(items));
    }
    while (library.isScanning())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);

    std::printf("Trash and Undo of %d files of %d bytes in %d folders, %s file system under %s, "
                "median of %d runs\n",
                kFiles, kFileBytes, kFolders, fileSystemName(files),
                QDir::tempPath().toLocal8Bit().constData(), kRuns);
    std::printf("  trash:            %.3f s (processor %.3f s)   \"%s\"\n", median(trashTimes),
                median(trashCpu), qPrintable(trashMessage));
    std::printf("  undo:             %.3f s (processor %.3f s)   \"%s\"\n", median(undoTimes),
                median(undoCpu), qPrintable(undoMessage));
    std::printf(
        "  both:             %.3f s   goal < 3 s: %s; fewest files back after a run: %d/%d\n",
        median(bothTimes), median(bothTimes) < 3.0 ? "met" : "MISSED", restored, kFiles);

    std::vector<double> floors;
    for (int run = 0; run < kRuns; ++run)
        floors.push_back(recordFloorSeconds(home + "/records"));
    std::printf(
        "  %d bare record files written alone: %.3f s (what the disk costs of the trash time)\n",
        kFiles, median(floors));

    const QByteArray peerFiles = home + "/Peer";
    QDir().mkpath(QFile::decodeName(peerFiles));
    struct Peer
    {
        const char *label;
        QString program;
        QStringList before;
    };
    const Peer peers[] = {{"gio trash", QStringLiteral("gio"), {QStringLiteral("trash")}},
                          {"trash-put", QStringLiteral("trash-put"), {}}};
    for (const Peer &peer : peers) {
        if (!Bench::haveProgram(peer.program)) {
            std::printf("  %-16s not installed\n", peer.label);
            continue;
        }
        std::vector<double> times;
        for (int run = 0; run < kRuns; ++run) {
            const double s = peerSeconds(peer.program, peer.before, peerFiles, home, data);
            if (s >= 0)
                times.push_back(s);
        }
        if (times.empty()) {
            std::printf("  %-16s failed\n", peer.label);
            continue;
        }
        const double theirs = median(times);
        std::printf("  %-16s %.3f s   ratio trash/%s = %.2f\n", peer.label, theirs, peer.label,
                    median(trashTimes) / theirs);
    }
    return restored == kFiles ? 0 : 1;
}
