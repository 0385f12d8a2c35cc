// The duplicate search (scan and find) against `jdupes -r` on a generated
// corpus of 22,000 files and about 2.3 GB: many files share a size without
// being copies, some share their first 64 KiB and differ later, and a fifth
// of the files are copies of others. Each tool runs in a process of its own
// after the page cache was dropped (cold; as root) and again warm. The groups
// must be the ones jdupes finds once sizes under 1,024 bytes are left out, and
// a second search in one process must read no file.
//
// --real: the copy of a real tree instead, warm only. --same-size: 800 files
// of 2 MiB each (1.7 GB) that agree up to a late point, from where either the
// rest or a single 4 KiB block is their own; 120 of them are copies.
#include "analysis/duplicates.h"
#include "benchsupport.h"
#include "library/scanner.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSet>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <cstdio>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#include <thread>
#include <vector>

namespace {

constexpr int kOriginals = 17'600;
constexpr int kCopies = 4'400; // a fifth of all files
constexpr int kFolders = 200;
constexpr qint64 kHead = Duplicates::kHeadBytes;

struct Rng
{
    quint64 s;
    quint64 next()
    {
        s ^= s << 13;
        s ^= s >> 7;
        s ^= s << 17;
        return s;
    }
    int below(int n) { return int(next() % quint64(n)); }
};

struct Planned
{
    qint64 size;
    quint64 headSeed; // the bytes before `split`
    quint64 tailSeed; // the rest, or only the 4 KiB block at `split`
    qint64 split = kHead;
    bool block = false;
};

constexpr qint64 kBlock = 4096;

std::vector<Planned> plan()
{
    Rng rng{0x9e3779b97f4a7c15ull};
    std::vector<Planned> files;
    for (int i = 0; i < kOriginals; ++i) {
        const int pick = rng.below(1000);
        qint64 size;
        if (pick < 295)
            size = 200 + 100 * rng.below(40); // 200 B … 4.1 KB, under and over 1,024
        else if (pick < 795)
            size = 4096 * (2 + rng.below(31)); // 8 KB … 128 KB in 4 KB steps, 64 KiB among them
        else if (pick < 995)
            size = 131'072 + 16'384 * rng.below(17); // 128 KB … 384 KB
        else
            size = 1'048'576 * (1 + rng.below(4)) + 4096 * rng.below(3); // 1 … 4 MB
        const quint64 seed = rng.next() | 1;
        // A quarter of the large files share their head with every other such file of their size.
        const bool sharedHead = size > kHead && rng.below(4) == 0;
        files.push_back({size, sharedHead ? quint64(size) * 2654435761ull | 1 : seed, seed});
    }
    for (int i = 0; i < kCopies; ++i)
        files.push_back(files[size_t(rng.below(kOriginals))]);
    return files;
}

constexpr int kSameSizeOriginals = 680;
constexpr int kSameSizeCopies = 120;
constexpr int kSameSizeFolders = 20;
constexpr qint64 kSameSize = 2 * 1024 * 1024;

std::vector<Planned> planSameSize()
{
    Rng rng{0xd1b54a32d192ed03ull};
    std::vector<Planned> files;
    for (int i = 0; i < kSameSizeOriginals; ++i) {
        const qint64 split = kSameSize / 2 + kBlock * rng.below(int(kSameSize / 2 / kBlock));
        files.push_back({kSameSize, 0x5851f42d4c957f2dull, rng.next() | 1, split, i % 2 == 1});
    }
    for (int i = 0; i < kSameSizeCopies; ++i)
        files.push_back(files[size_t(rng.below(kSameSizeOriginals))]);
    return files;
}

QByteArray pathOf(const QByteArray &root, int index, int folders)
{
    // Copies land in other folders than their originals, as they do in a home.
    const int folder = (index * 37) % folders;
    return root + "/d" + QByteArray::number(folder).rightJustified(3, '0') + "/f" +
           QByteArray::number(index).rightJustified(5, '0') + ".bin";
}

void fill(char *out, qint64 from, qint64 length, const Planned &p)
{
    // Words of a seeded sequence; the head and the tail each restart their own.
    for (qint64 i = 0; i < length; i += 8) {
        const qint64 at = from + i;
        const bool own = at >= p.split && (!p.block || at < p.split + kBlock);
        Rng r{(own ? p.tailSeed : p.headSeed) ^ quint64(at / 8) * 0xbf58476d1ce4e5b9ull};
        const quint64 word = r.next() * 0x94d049bb133111ebull;
        std::memcpy(out + i, &word, size_t(std::min<qint64>(8, length - i)));
    }
}

bool writeCorpus(const QByteArray &root, const std::vector<Planned> &files, int folders)
{
    const QByteArray marker = root + "/.complete";
    if (QFile::exists(QFile::decodeName(marker)))
        return true;
    std::fprintf(stderr, "writing the corpus under %s…\n", root.constData());
    for (int f = 0; f < folders; ++f)
        ::mkdir((root + "/d" + QByteArray::number(f).rightJustified(3, '0')).constData(), 0755);
    std::vector<char> buffer(1 << 20);
    for (size_t i = 0; i < files.size(); ++i) {
        const QByteArray path = pathOf(root, int(i), folders);
        const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        if (fd < 0)
            return false;
        for (qint64 at = 0; at < files[i].size;) {
            const qint64 n = std::min<qint64>(qint64(buffer.size()), files[i].size - at);
            fill(buffer.data(), at, n, files[i]);
            if (::write(fd, buffer.data(), size_t(n)) != n) {
                ::close(fd);
                return false;
            }
            at += n;
        }
        ::close(fd);
    }
    ::sync();
    QFile(QFile::decodeName(marker)).open(QIODevice::WriteOnly);
    return true;
}

bool dropCaches()
{
    ::sync();
    QFile drop(QStringLiteral("/proc/sys/vm/drop_caches"));
    return drop.open(QIODevice::WriteOnly) && drop.write("3\n") == 2;
}

using Groups = QSet<QStringList>;

// One group per paragraph of paths, as jdupes prints them; groups of files
// under 1,024 bytes are left out, since the duplicate search never compares those.
Groups parseGroups(const QByteArray &out, bool dropSmall)
{
    Groups groups;
    QStringList current;
    auto close = [&] {
        if (current.size() >= 2) {
            struct stat st;
            const bool small = ::stat(QFile::encodeName(current.first()).constData(), &st) == 0 &&
                               st.st_size < Duplicates::kMinSize;
            if (!(dropSmall && small)) {
                current.sort();
                groups.insert(current);
            }
        }
        current.clear();
    };
    for (const QByteArray &line : out.split('\n')) {
        if (line.isEmpty())
            close();
        else
            current.append(QFile::decodeName(line));
    }
    close();
    return groups;
}

struct Run
{
    double seconds = 0;
    double cpu = 0; // user and system seconds of the process
    QByteArray out;
};

double childCpu()
{
    struct rusage u;
    ::getrusage(RUSAGE_CHILDREN, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

Run timed(const QString &program, const QStringList &arguments)
{
    QProcess p;
    p.setStandardErrorFile(QProcess::nullDevice());
    const double cpuBefore = childCpu();
    QElapsedTimer clock;
    clock.start();
    p.start(program, arguments);
    p.waitForFinished(-1);
    Run r{double(clock.nsecsElapsed()) / 1e9, childCpu() - cpuBefore, p.readAllStandardOutput()};
    if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        std::fprintf(stderr, "%s failed\n", qPrintable(program));
    return r;
}

// The child's part: one search with an empty digest cache, groups printed as jdupes does.
int searchOnce(const QByteArray &root)
{
    const QList<DupGroup> groups = Duplicates::find(Scanner::scan({root}, {}));
    QByteArray out;
    for (const DupGroup &g : groups) {
        for (const FileItem &item : g.items)
            out += item.path() + '\n';
        out += '\n';
    }
    std::fwrite(out.constData(), 1, size_t(out.size()), stdout);
    const Duplicates::Reads reads = Duplicates::reads();
    std::fprintf(stderr, "read %llu files, %llu bytes\n", (unsigned long long)reads.files,
                 (unsigned long long)reads.bytes);
    return 0;
}

double loadAverage()
{
    double load[1] = {0};
    return ::getloadavg(load, 1) == 1 ? load[0] : 0;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0.0 : v[v.size() / 2];
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() == 3 && args.at(1) == QLatin1String("--once"))
        return searchOnce(QFile::encodeName(args.at(2)));

    if (!Bench::haveProgram(QStringLiteral("jdupes"))) {
        std::fprintf(stderr, "jdupes is not installed (scripts/deps.txt lists it)\n");
        return 1;
    }
    // --real: the copy of a real tree instead of the generated corpus, warm
    // only (dropping the page cache would slow everyone on the machine).
    const bool real = args.contains(QLatin1String("--real"));
    const bool sameSize = args.contains(QLatin1String("--same-size"));
    const QByteArray root = real       ? Bench::realTree()
                            : sameSize ? Bench::cacheFolder("dups-samesize")
                                       : Bench::cacheFolder("dups-corpus");
    const std::vector<Planned> files = real ? std::vector<Planned>() : sameSize ? planSameSize() : plan();
    if (!real && !writeCorpus(root, files, sameSize ? kSameSizeFolders : kFolders)) {
        std::fprintf(stderr, "could not write the corpus under %s\n", root.constData());
        return 1;
    }
    qint64 total = 0;
    for (const Planned &p : files)
        total += p.size;
    size_t fileCount = files.size();
    if (real) {
        const QList<FileItem> all = Scanner::scan({root}, {});
        fileCount = size_t(all.size());
        for (const FileItem &item : all)
            total += item.size();
    }
    const QString rootText = QFile::decodeName(root);
    const QString self = QCoreApplication::applicationFilePath();

    // --warm: leave the page cache alone (dropping it slows everyone on a shared machine).
    const bool cold = !real && !args.contains(QLatin1String("--warm")) && dropCaches();
    const int kRounds = real ? 5 : 3;
    std::vector<double> oursCold, theirsCold, oursWarm, theirsWarm, oursCpu, theirsCpu;
    Run ours, theirs;
    for (int round = 0; cold && round < kRounds; ++round) {
        // Interleaved, so a busy moment on this shared machine falls on both alike.
        dropCaches();
        ours = timed(self, {"--once", rootText});
        oursCold.push_back(ours.seconds);
        dropCaches();
        theirs = timed(QStringLiteral("jdupes"), {"-r", "-q", rootText});
        theirsCold.push_back(theirs.seconds);
    }
    for (int round = 0; round < kRounds; ++round) {
        const Run o = timed(self, {"--once", rootText});
        ours = o;
        oursWarm.push_back(o.seconds);
        oursCpu.push_back(o.cpu);
        const Run t = timed(QStringLiteral("jdupes"), {"-r", "-q", rootText});
        theirs = t;
        theirsWarm.push_back(t.seconds);
        theirsCpu.push_back(t.cpu);
    }

    const Groups ourGroups = parseGroups(ours.out, false);
    const Groups theirGroups = parseGroups(theirs.out, true);
    qsizetype dupFiles = 0;
    for (const QStringList &g : ourGroups)
        dupFiles += g.size();

    // The digest cache: a second search in one process reads no file.
    QElapsedTimer clock;
    clock.start();
    const QList<DupGroup> first = Duplicates::find(Scanner::scan({root}, {}));
    const double firstSeconds = double(clock.nsecsElapsed()) / 1e9;
    const Duplicates::Reads before = Duplicates::reads();
    clock.restart();
    const QList<FileItem> records = Scanner::scan({root}, {});
    const double rescanSeconds = double(clock.nsecsElapsed()) / 1e9;
    clock.restart();
    const QList<DupGroup> again = Duplicates::find(records);
    const double againSeconds = double(clock.nsecsElapsed()) / 1e9;
    const Duplicates::Reads after = Duplicates::reads();

    const char *condition = cold ? "cold (page cache dropped before each run)"
                            : real || args.contains(QLatin1String("--warm")) ? "WARM only"
                                   : "WARM only: the page cache could not be dropped (not root)";
    std::printf("dups bench: %s, %zu files, %.2f GB; median of %d runs, one process each\n",
                real ? root.constData() : sameSize ? "same-size corpus" : "generated corpus", fileCount, double(total) / 1e9, kRounds);
    std::printf("  %s; load average %.1f on %d cores\n", condition, loadAverage(),
                int(std::thread::hardware_concurrency()));
    const double oc = median(oursCold), tc = median(theirsCold);
    if (cold) {
        std::printf("    scan + Duplicates::find %8.0f ms\n", oc * 1000);
        std::printf("    jdupes -r               %8.0f ms   ratio ours/jdupes = %.2f\n", tc * 1000, oc / tc);
    }
    const double ow = median(oursWarm), tw = median(theirsWarm);
    std::printf("  warm page cache, empty digest cache\n");
    const double ou = median(oursCpu), tu = median(theirsCpu);
    std::printf("    scan + Duplicates::find %8.0f ms  (cpu %5.0f ms)\n", ow * 1000, ou * 1000);
    std::printf("    jdupes -r               %8.0f ms  (cpu %5.0f ms)   ratio ours/jdupes = %.2f (cpu %.2f)\n",
                tw * 1000, tu * 1000, ow / tw, ou / tu);
    std::printf("  groups (1,024 bytes and up): ours %lld with %lld files, jdupes %lld: %s\n",
                (long long)ourGroups.size(), (long long)dupFiles, (long long)theirGroups.size(),
                ourGroups == theirGroups ? "the same" : "DIFFERENT");
    std::printf("  rescan in one process: first %.0f ms; again scan %.0f ms + find %.0f ms reading %llu files "
                "(%llu bytes)%s\n",
                firstSeconds * 1000, rescanSeconds * 1000, againSeconds * 1000,
                (unsigned long long)(after.files - before.files),
                (unsigned long long)(after.bytes - before.bytes),
                again == first ? ", same groups" : ", GROUPS CHANGED");
    return ourGroups == theirGroups && after.files == before.files ? 0 : 1;
}
