// Reads a tree of 200,000 files in 20,000 folders (warm cache) with the
// scanner and with find and fdfind, and prints the times and ratios.
#include "benchsupport.h"
#include "library/scanner.h"

#include <QCoreApplication>
#include <QFile>

#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int kTop = 20;
constexpr int kPerTop = 999; // 20 + 20 × 999 = 20,000 folders
constexpr int kFilesPerFolder = 10;

const char *const kNames[] = {"report", "IMG_", "invoice", "notes", "track", "clip", "setup",
                              "draft", "scan", "photo"};
const char *const kExts[] = {".pdf", ".jpg", ".png", ".txt", ".mp3", ".mov", ".zip",
                             ".docx", ".md", ".heic"};

void writeTree(const QByteArray &root)
{
    const QByteArray marker = root + "/.complete";
    if (QFile::exists(QFile::decodeName(marker)))
        return;
    std::fprintf(stderr, "writing the tree under %s…\n", root.constData());
    int files = 0;
    auto fill = [&](const QByteArray &dir) {
        ::mkdir(dir.constData(), 0755);
        for (int f = 0; f < kFilesPerFolder; ++f, ++files) {
            const QByteArray path = dir + '/' + kNames[(files / 3) % 10] +
                                    QByteArray::number(files) + kExts[files % 10];
            const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            if (fd >= 0) {
                // A few bytes so sizes differ; the walk reads metadata only.
                const QByteArray body = QByteArray::number(files);
                (void)!::write(fd, body.constData(), size_t(body.size()));
                ::close(fd);
            }
        }
    };
    for (int t = 0; t < kTop; ++t) {
        const QByteArray top = root + "/folder" + QByteArray::number(t);
        fill(top);
        for (int s = 0; s < kPerTop; ++s)
            fill(top + "/sub" + QByteArray::number(s));
    }
    QFile(QFile::decodeName(marker)).open(QIODevice::WriteOnly);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QByteArray root = Bench::cacheFolder("scan-tree");
    writeTree(root);
    const QString rootText = QFile::decodeName(root);

    qsizetype records = 0;
    auto scan = [&] { records = Scanner::scan({root}, {}).size(); };
    auto find = [&] {
        Bench::runQuiet("find", {rootText, "-printf", "%s %T@ %C@ %p\\n"});
    };
    const bool haveFd = Bench::haveProgram("fdfind");
    auto fd = [&] { Bench::runQuiet("fdfind", {"-H", "-t", "f", ".", rootText}); };

    // Warm the cache, then interleave the runs so load on this shared machine hits all alike.
    scan();
    find();
    if (haveFd)
        fd();
    constexpr int kRuns = 5;
    std::vector<double> ours, finds, fds;
    for (int i = 0; i < kRuns; ++i) {
        ours.push_back(Bench::medianSeconds(1, scan));
        finds.push_back(Bench::medianSeconds(1, find));
        if (haveFd)
            fds.push_back(Bench::medianSeconds(1, fd));
    }
    auto median = [](std::vector<double> v) {
        std::sort(v.begin(), v.end());
        return v.empty() ? 0.0 : v[v.size() / 2];
    };
    const double s = median(ours), f = median(finds), d = median(fds);
    std::printf("scan bench: %lld records, %d folders, warm cache, median of %d\n",
                (long long)records, kTop * (kPerTop + 1), kRuns);
    std::printf("  Scanner::scan  %8.1f ms\n", s * 1000);
    std::printf("  find -printf   %8.1f ms   ratio scan/find   = %.2f\n", f * 1000, s / f);
    if (haveFd)
        std::printf("  fdfind -H      %8.1f ms   ratio scan/fdfind = %.2f\n", d * 1000, s / d);
    else
        std::printf("  fdfind not installed\n");
    return 0;
}
