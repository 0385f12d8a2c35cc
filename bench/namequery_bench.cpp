// Name queries over the index against plocate on the real tree (about
// 53,000 files and folders). The index holds every file and folder of the
// tree with its name and dates (no text: only names are asked for); plocate's
// database is made by updatedb over the same tree. A substring of the name,
// any case: `tovalo-cli query 'kMDItemFSName == "*config*"c'` against
// `plocate -i -b config`, both as commands, medians of runs in alternation,
// and ours in this process through the call the wide search makes (a fresh
// connection each time). Both must find the same paths.
#include "benchsupport.h"
#include "indexstore.h"
#include "sqlitemetadataindex.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QSet>

#include <cstdio>
#include <ctime>
#include <ftw.h>
#include <functional>
#include <sys/stat.h>

namespace {

constexpr int kRuns = 31;

IndexStore *g_store = nullptr;

int putEntry(const char *path, const struct stat *st, int type, struct FTW *at)
{
    if (at->level == 0 || (type != FTW_F && type != FTW_D && type != FTW_SL))
        return 0;
    IndexRecord r;
    r.path = QByteArray(path);
    r.name = QFile::decodeName(QByteArray(path + at->base));
    r.dev = qint64(st->st_dev);
    r.ino = qint64(st->st_ino);
    r.size = qint64(st->st_size);
    r.modified = qint64(st->st_mtim.tv_sec) * 1000 + st->st_mtim.tv_nsec / 1'000'000;
    r.changed = qint64(st->st_ctim.tv_sec) * 1000 + st->st_ctim.tv_nsec / 1'000'000;
    r.contentTypes = type == FTW_D ? QStringLiteral("public.folder") : QStringLiteral("public.data");
    r.isDir = type == FTW_D;
    g_store->put(r, std::nullopt, false);
    return 0;
}

// The index of the tree, made once per index version.
QString indexOf(const QByteArray &tree)
{
    const QByteArray folder = Bench::cacheFolder("namequery");
    const QString file = QFile::decodeName(folder) + QStringLiteral("/index-v%1.sqlite").arg(IndexStore::kSchemaVersion);
    const QString done = file + QStringLiteral(".complete");
    if (QFile::exists(done))
        return file;
    QFile::remove(file);
    auto store = IndexStore::open(file);
    if (!store)
        return {};
    g_store = store.get();
    store->begin();
    ::nftw(tree.constData(), &putEntry, 64, FTW_PHYS);
    store->commit();
    store.reset();
    QFile mark(done);
    if (mark.open(QIODevice::WriteOnly))
        mark.close();
    return file;
}

// Processor time this process spends on `work`, which the machine's other load does not stretch.
double cpuSeconds(const std::function<void()> &work)
{
    timespec a{}, b{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &a);
    work();
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &b);
    return double(b.tv_sec - a.tv_sec) + double(b.tv_nsec - a.tv_nsec) / 1e9;
}

QByteArray output(const QString &program, const QStringList &arguments)
{
    QProcess p;
    p.setStandardErrorFile(QProcess::nullDevice());
    p.start(program, arguments);
    p.waitForFinished(-1);
    return p.readAllStandardOutput();
}

QSet<QByteArray> lines(const QByteArray &out)
{
    QSet<QByteArray> set;
    for (const QByteArray &line : out.split('\n'))
        if (!line.isEmpty())
            set.insert(line);
    return set;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    // --quick: the commands run once, for a look at the in-process figures only.
    const bool inProcessOnly = app.arguments().contains(QStringLiteral("--quick"));
    if (!Bench::haveProgram(QStringLiteral("plocate")) || !Bench::haveProgram(QStringLiteral("updatedb"))) {
        std::fprintf(stderr, "plocate and updatedb are needed (Debian package plocate)\n");
        return 1;
    }
    const QByteArray tree = Bench::realTree();
    const QString index = indexOf(tree);
    if (index.isEmpty()) {
        std::fprintf(stderr, "cannot make the index\n");
        return 1;
    }
    const QString database = QFile::decodeName(Bench::cacheFolder("namequery")) + QStringLiteral("/plocate.db");
    // /tmp is left out by the system's own settings; nothing is left out here.
    if (!Bench::runQuiet(QStringLiteral("updatedb"),
                         {QStringLiteral("--database-root"), QFile::decodeName(tree), QStringLiteral("--output"),
                          database, QStringLiteral("--require-visibility"), QStringLiteral("no"),
                          QStringLiteral("--prunepaths"), QString(), QStringLiteral("--prunenames"), QString(),
                          QStringLiteral("--prunefs"), QString()})) {
        std::fprintf(stderr, "updatedb failed\n");
        return 1;
    }
    const QString cli = QStringLiteral(TOVALO_CLI);
    const QString plocate = QStringLiteral("plocate");
    std::printf("tree: %s\n\n%-28s %10s %10s %8s %s\n", tree.constData(), "", "tovalo", "plocate", "ratio", "found");
    bool same = true;
    for (const char *word : {"config", "icon", "xml"}) {
        const QString predicate = QStringLiteral("kMDItemFSName == \"*%1*\"c").arg(QLatin1String(word));
        const QStringList ourArgs{QStringLiteral("query"), QStringLiteral("--index"), index, predicate};
        const QStringList peerArgs{QStringLiteral("-d"), database, QStringLiteral("-i"), QStringLiteral("-b"),
                                   QLatin1String(word)};
        SqliteMetadataIndex inProcess(index);
        std::optional<QList<QByteArray>> found;
        const double ms = 1e3 * Bench::medianSeconds(kRuns, [&] { found = inProcess.search(predicate, {}, 1'000'000); });
        const double cpuMs = 1e3 * cpuSeconds([&] {
            for (int i = 0; i < kRuns; ++i)
                inProcess.search(predicate, {}, 1'000'000);
        }) / kRuns;
        const int commandRuns = inProcessOnly ? 1 : kRuns;
        const auto [ours, peer] = Bench::pairedMedians(
            commandRuns, [&] { Bench::runQuiet(cli, ourArgs); }, [&] { Bench::runQuiet(plocate, peerArgs); });
        const QSet<QByteArray> ourSet = lines(output(cli, ourArgs));
        const QSet<QByteArray> peerSet = lines(output(plocate, peerArgs));
        std::printf("%-28s %7.1f ms %7.1f ms %8.2f %lld / %lld\n", qPrintable(QStringLiteral("\"*%1*\"c as a command").arg(QLatin1String(word))),
                    ours * 1e3, peer * 1e3, ours / peer, qlonglong(ourSet.size()), qlonglong(peerSet.size()));
        std::printf("%-28s %7.2f ms (cpu %.2f ms) %lld\n", "  in this process", ms, cpuMs,
                    qlonglong(found ? found->size() : -1));
        if (ourSet != peerSet) {
            same = false;
            std::printf("  different paths found\n");
        }
    }
    std::printf("\ngoals: as a command <= 2x plocate, in process <= 5 ms%s\n", same ? "" : "; the two found different paths");
    return same ? 0 : 1;
}
