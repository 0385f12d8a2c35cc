// The home folder's index against Recoll (recollindex and recollq) on one
// generated corpus of 20,000 files, 2,000 of them documents with text (PDF,
// docx, odt and plain text, 500 each, a few hundred random words apiece; the
// rest pictures, sound, video and data files with random bytes). Both first
// indexings run as processes of their own from nothing, timed by the wall
// clock, with their peak resident memory; then the size each index takes on
// disk and how long a one-word and a phrase query take: ours in this process
// through the same call the wide search makes (a fresh connection each time)
// and, like Recoll's, as a command run (`tovalo-cli query` against `recollq`).
// Both must find the same documents. Ratios are ours divided by Recoll's.
#include "benchsupport.h"
#include "contenttypes.h"
#include "indexstore.h"
#include "officewriter.h"
#include "search/spotlight.h"
#include "sqlitemetadataindex.h"
#include "textextractor.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSet>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr int kFiles = 20'000;
constexpr int kDocumentsPerFormat = 500; // PDF, docx, odt, txt
constexpr int kFolders = 200;
constexpr int kVocabulary = 6'000;
// One word in every fiftieth document and one phrase in every seventieth;
// neither is ever part of a file name.
constexpr const char *kWord = "quillwort";
constexpr const char *kPhrase = "harbour lantern";
constexpr int kQueryRuns = 21;
constexpr const char *kCorpusVersion = "index-corpus-1";

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

QStringList vocabulary()
{
    static const char *const kSyllables[] = {"ka", "lo", "mi", "ra", "ten", "vos", "pel", "dor", "sin", "ul",
                                             "bra", "che", "fi", "gu", "har", "jo", "nex", "qua", "sti", "wen"};
    Rng rng{0x51ed270b27a6f3c1ull};
    QSet<QString> seen;
    QStringList words;
    while (words.size() < kVocabulary) {
        QString w;
        const int syllables = 2 + rng.below(3);
        for (int i = 0; i < syllables; ++i)
            w += QLatin1String(kSyllables[rng.below(int(std::size(kSyllables)))]);
        if (!seen.contains(w) && w != QLatin1String(kWord)) {
            seen.insert(w);
            words << w;
        }
    }
    return words;
}

// The paragraphs of document `n`: random words, with the query word and
// phrase planted where the plan says.
QStringList paragraphs(Rng &rng, const QStringList &words, int n)
{
    QStringList out;
    const int count = 3 + rng.below(4);
    for (int p = 0; p < count; ++p) {
        QStringList line;
        const int length = 40 + rng.below(60);
        for (int i = 0; i < length; ++i)
            line << words.at(rng.below(int(words.size())));
        if (p == 1 && n % 50 == 7)
            line.insert(rng.below(int(line.size())), QLatin1String(kWord));
        if (p == 2 && n % 70 == 3)
            line.insert(rng.below(int(line.size())), QLatin1String(kPhrase));
        out << line.join(u' ');
    }
    return out;
}

// A one-page PDF with Helvetica text, the smallest file PDF readers accept.
QByteArray pdf(const QStringList &text)
{
    QByteArray content = "BT /F1 9 Tf 11 TL 36 806 Td\n";
    for (const QString &paragraph : text) {
        const QStringList words = paragraph.split(u' ');
        for (qsizetype i = 0; i < words.size(); i += 14)
            content += '(' + words.mid(i, 14).join(u' ').toLatin1() + ") Tj T*\n";
        content += "T*\n";
    }
    content += "ET\n";
    const QByteArray objects[] = {
        "<< /Type /Catalog /Pages 2 0 R >>",
        "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
        "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 595 842] /Resources << /Font << /F1 4 0 R >> >> "
        "/Contents 5 0 R >>",
        "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica /Encoding /WinAnsiEncoding >>",
        "<< /Length " + QByteArray::number(content.size()) + " >>\nstream\n" + content + "endstream",
    };
    QByteArray out = "%PDF-1.4\n";
    QList<qsizetype> offsets;
    for (qsizetype i = 0; i < qsizetype(std::size(objects)); ++i) {
        offsets << out.size();
        out += QByteArray::number(i + 1) + " 0 obj\n" + objects[i] + "\nendobj\n";
    }
    const qsizetype xref = out.size();
    out += "xref\n0 " + QByteArray::number(offsets.size() + 1) + "\n0000000000 65535 f \n";
    for (const qsizetype o : offsets)
        out += QByteArray::number(o).rightJustified(10, '0') + " 00000 n \n";
    out += "trailer\n<< /Size " + QByteArray::number(offsets.size() + 1) + " /Root 1 0 R >>\nstartxref\n" +
           QByteArray::number(xref) + "\n%%EOF\n";
    return out;
}

void write(const QString &path, const QByteArray &bytes, qint64 modified)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        std::exit(1);
    }
    f.close();
    const struct timespec times[2] = {{modified / 1000, 0}, {modified / 1000, 0}};
    ::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0);
}

// Written once and kept between runs; a marker file says it is complete.
QString corpus()
{
    const QString root = QFile::decodeName(Bench::cacheFolder(kCorpusVersion)) + QStringLiteral("/home");
    const QString done = root + QStringLiteral("/../complete");
    if (QFileInfo::exists(done))
        return root;
    QDir(root).removeRecursively();
    const QStringList words = vocabulary();
    Rng rng{0x2545f4914f6cdd1dull};
    const qint64 base = 1'700'000'000'000;
    static const char *const kOther[] = {"jpg", "png", "mp3", "mp4", "bin", "dat", "heic", "mov", "wav", "iso"};
    std::printf("writing the corpus in %s ...\n", qPrintable(root));
    std::fflush(stdout);
    for (int i = 0; i < kFiles; ++i) {
        const QString folder = QStringLiteral("%1/folder%2").arg(root).arg(i % kFolders, 3, 10, QLatin1Char('0'));
        QDir().mkpath(folder);
        const qint64 modified = base - qint64(i) * 1'580'000; // about a year, one file every 26 minutes
        const int document = i < 4 * kDocumentsPerFormat ? i : -1;
        if (document >= 0) {
            const QStringList text = paragraphs(rng, words, document);
            const QString name = QStringLiteral("%1/notes %2").arg(folder).arg(document);
            switch (document % 4) {
            case 0: write(name + ".pdf", pdf(text), modified); break;
            case 1: write(name + ".docx", OfficeWriter::docx(QStringLiteral("Notes"), text, modified), modified); break;
            case 2: write(name + ".odt", OfficeWriter::odt(QStringLiteral("Notes"), text, modified), modified); break;
            default: write(name + ".txt", text.join(u'\n').toUtf8() + '\n', modified); break;
            }
            continue;
        }
        QByteArray bytes(1024 + rng.below(15 * 1024), '\0');
        for (char &c : bytes)
            c = char(rng.next());
        const char *ext = kOther[rng.below(int(std::size(kOther)))];
        write(QStringLiteral("%1/file %2.%3").arg(folder).arg(i).arg(QLatin1String(ext)), bytes, modified);
    }
    write(done, "1", base);
    return root;
}

void warm(const QString &root)
{
    QDirIterator it(root, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile f(it.next());
        if (f.open(QIODevice::ReadOnly))
            f.readAll();
    }
}

struct Run
{
    double seconds = -1;
    qint64 peakBytes = 0;
    bool ok = false;
};

// Runs a program to its end in a process of its own: wall time and the peak
// resident memory of that process (helpers it starts are not counted).
Run runChild(const QString &program, const QStringList &arguments, const QStringList &environment)
{
    std::vector<QByteArray> args{QFile::encodeName(program)};
    for (const QString &a : arguments)
        args.push_back(a.toLocal8Bit());
    std::vector<QByteArray> env;
    for (const QString &e : environment)
        env.push_back(e.toLocal8Bit());
    std::vector<char *> argv, envp;
    for (QByteArray &a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    for (QByteArray &e : env)
        envp.push_back(e.data());
    envp.push_back(nullptr);
    QElapsedTimer clock;
    clock.start();
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int null = ::open("/dev/null", O_WRONLY);
        ::dup2(null, 1);
        ::dup2(null, 2);
        ::execve(argv[0], argv.data(), envp.data());
        ::_exit(127);
    }
    Run run;
    int status = 0;
    struct rusage usage{};
    if (pid < 0 || ::wait4(pid, &status, 0, &usage) != pid)
        return run;
    run.seconds = double(clock.nsecsElapsed()) / 1e9;
    run.peakBytes = qint64(usage.ru_maxrss) * 1024;
    run.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return run;
}

qint64 diskBytes(const QString &path)
{
    const QFileInfo info(path);
    if (info.isFile())
        return info.size();
    qint64 total = 0;
    QDirIterator it(path, QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        total += it.fileInfo().size();
    }
    return total;
}

// Without the indexer's command, what the index has so far is measured in
// this process: one pass over the tree that describes every entry, reads the
// text of documents with the index's own readers and writes the rows in
// batches, as a first indexing would.
Run passInProcess(const QString &home, const QString &file)
{
    Run run;
    QElapsedTimer clock;
    clock.start();
    auto store = IndexStore::open(file);
    if (!store)
        return run;
    int batch = 0;
    store->begin();
    QDirIterator it(home, QDir::AllEntries | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo info(it.next());
        const QByteArray path = QFile::encodeName(info.filePath());
        struct stat st{};
        if (::lstat(path.constData(), &st) != 0)
            continue;
        IndexRecord r;
        r.path = path;
        r.name = info.fileName();
        r.dev = qint64(st.st_dev);
        r.ino = qint64(st.st_ino);
        r.isDir = S_ISDIR(st.st_mode);
        r.size = r.isDir ? 0 : qint64(st.st_size);
        r.modified = qint64(st.st_mtim.tv_sec) * 1000 + st.st_mtim.tv_nsec / 1'000'000;
        r.changed = qint64(st.st_ctim.tv_sec) * 1000 + st.st_ctim.tv_nsec / 1'000'000;
        r.added = r.changed;
        r.contentTypes = r.isDir ? ContentTypes::forFolder() : ContentTypes::forFile(r.name);
        std::optional<QString> text;
        if (!r.isDir) {
            const QString ext = info.suffix().toLower();
            const TextFamily family = TextFamilies::of(ext);
            if (family != TextFamily::none) {
                const ExtractResult read = TextExtractor::extract(path, family, ext);
                r.textState = read.ok ? IndexRecord::TextState::extracted : IndexRecord::TextState::failed;
                r.cameraMake = read.cameraMake;
                r.cameraModel = read.cameraModel;
                if (read.ok && !read.text.isEmpty())
                    text = read.text;
            }
        }
        store->put(r, text, false);
        if (++batch == 500) {
            store->commit();
            store->begin();
            batch = 0;
        }
    }
    run.ok = store->commit();
    store.reset(); // folds the log back into the file, as closing the index does
    run.seconds = double(clock.nsecsElapsed()) / 1e9;
    struct rusage self{};
    ::getrusage(RUSAGE_SELF, &self);
    run.peakBytes = qint64(self.ru_maxrss) * 1024;
    return run;
}

QStringList baseEnvironment(const QString &home, const QString &data)
{
    QStringList env = QProcess::systemEnvironment();
    env.erase(std::remove_if(env.begin(), env.end(),
                             [](const QString &e) {
                                 return e.startsWith(QLatin1String("HOME=")) ||
                                        e.startsWith(QLatin1String("XDG_DATA_HOME=")) ||
                                        e.startsWith(QLatin1String("RECOLL_CONFDIR="));
                             }),
              env.end());
    env << QStringLiteral("HOME=") + home << QStringLiteral("XDG_DATA_HOME=") + data;
    return env;
}

QSet<QByteArray> lines(const QByteArray &out, const QByteArray &strip = {})
{
    QSet<QByteArray> set;
    for (QByteArray line : out.split('\n')) {
        line = line.trimmed();
        if (line.isEmpty())
            continue;
        if (!strip.isEmpty() && line.startsWith(strip))
            line = line.mid(strip.size());
        set.insert(line);
    }
    return set;
}

QByteArray output(const QString &program, const QStringList &arguments, const QStringList &environment)
{
    QProcess p;
    p.setEnvironment(environment);
    p.setStandardErrorFile(QProcess::nullDevice());
    p.start(program, arguments);
    p.waitForFinished(-1);
    return p.readAllStandardOutput();
}

void row(const char *what, double ours, double peer, const char *unit, double scale)
{
    std::printf("%-34s %12.2f %12.2f %s   ratio %.2f\n", what, ours * scale, peer * scale, unit,
                peer > 0 ? ours / peer : 0.0);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (!Bench::haveProgram(QStringLiteral("recollindex")) || !Bench::haveProgram(QStringLiteral("recollq"))) {
        std::fprintf(stderr, "recollindex and recollq are needed (Debian package recollcmd)\n");
        return 1;
    }
    const QString cli = QStringLiteral(TOVALO_CLI);
    const QString home = corpus();
    QTemporaryDir work;
    const QString data = work.path() + QStringLiteral("/data");
    const QString confdir = work.path() + QStringLiteral("/recoll");
    QDir().mkpath(data);
    QDir().mkpath(confdir);
    const QStringList env = baseEnvironment(home, data);
    {
        QFile conf(confdir + QStringLiteral("/recoll.conf"));
        if (!conf.open(QIODevice::WriteOnly))
            return 1;
        conf.write("topdirs = " + QFile::encodeName(home) + "\nloglevel = 1\n");
    }
    std::printf("corpus: %d files in %d folders, %d documents with text (PDF, docx, odt, txt)\n", kFiles, kFolders,
                4 * kDocumentsPerFormat);

    // Both start from a tree already in the page cache, so the one that runs
    // second does not read from a warmer cache than the first.
    warm(home);
    const Run peer = runChild(QStandardPaths::findExecutable(QStringLiteral("recollindex")),
                              {QStringLiteral("-c"), confdir, QStringLiteral("-z")}, env);
    const QString indexFile = data + QStringLiteral("/Tovalo/index.sqlite");
    const bool haveIndexer = Bench::runQuiet(cli, {QStringLiteral("index"), QStringLiteral("--help")});
    const Run ours = haveIndexer ? runChild(cli, {QStringLiteral("index"), QStringLiteral("--rebuild")}, env)
                                 : passInProcess(home, indexFile);
    std::printf("ours: %s\n", haveIndexer ? "tovalo-cli index --rebuild, a process of its own"
                                          : "no indexer command yet: one pass of the store and readers in this process");
    if (!ours.ok || !peer.ok) {
        std::fprintf(stderr, "indexing failed: ours %s, recollindex %s\n", ours.ok ? "ok" : "failed",
                     peer.ok ? "ok" : "failed");
        return 1;
    }
    const qint64 ourBytes = diskBytes(indexFile) + diskBytes(indexFile + QStringLiteral("-wal"));
    const qint64 peerBytes = diskBytes(confdir + QStringLiteral("/xapiandb"));

    std::printf("\n%-34s %12s %12s\n", "", "tovalo", "recoll");
    row("first indexing", ours.seconds, peer.seconds, "s", 1);
    row("peak resident memory (indexer)", double(ours.peakBytes), double(peer.peakBytes), "MB", 1.0 / 1e6);
    row("index on disk", double(ourBytes), double(peerBytes), "MB", 1.0 / 1e6);

    const QByteArray scope = QFile::encodeName(home);
    SqliteMetadataIndex index(indexFile);
    struct Asked
    {
        const char *what;
        QString term;
        QString recoll;
    };
    const Asked asked[] = {
        {"one word", QLatin1String(kWord), QLatin1String(kWord)},
        {"phrase", QLatin1String(kPhrase), u'"' + QLatin1String(kPhrase) + u'"'},
    };
    bool same = true;
    for (const Asked &a : asked) {
        const QString predicate = *Spotlight::queryString(Query{.terms = {a.term}});
        std::optional<QList<QByteArray>> found;
        const double inProcess =
            Bench::medianSeconds(kQueryRuns, [&] { found = index.search(predicate, scope, Spotlight::kMaxGathered); });
        const QStringList ourArgs{QStringLiteral("query"), QStringLiteral("--index"), indexFile, predicate};
        const QStringList peerArgs{QStringLiteral("-c"), confdir, QStringLiteral("-b"), QStringLiteral("-n"),
                                   QStringLiteral("0"), a.recoll};
        const QString recollq = QStandardPaths::findExecutable(QStringLiteral("recollq"));
        // In alternation, so a busy moment on a shared machine falls on both alike.
        const auto [ourCommand, peerCommand] = Bench::pairedMedians(
            kQueryRuns, [&] { Bench::runQuiet(cli, ourArgs); }, [&] { Bench::runQuiet(recollq, peerArgs); });
        QSet<QByteArray> ourSet;
        for (const QByteArray &p : found.value_or(QList<QByteArray>()))
            ourSet.insert(p);
        const QSet<QByteArray> peerSet = lines(output(recollq, peerArgs, env), "file://");
        std::printf("%-34s %12.2f %12s ms   (%lld files)\n", qPrintable(QStringLiteral("query, %1, in process").arg(QLatin1String(a.what))),
                    inProcess * 1e3, "", qlonglong(ourSet.size()));
        row(qPrintable(QStringLiteral("query, %1, as a command").arg(QLatin1String(a.what))), ourCommand,
            peerCommand, "ms", 1e3);
        if (ourSet != peerSet) {
            same = false;
            std::printf("  different files found: tovalo %lld, recoll %lld\n", qlonglong(ourSet.size()),
                        qlonglong(peerSet.size()));
        }
    }
    std::printf("\ngoals: indexing ratio <= 1.0 (%.2f), index size ratio <= 1.0 (%.2f), queries <= 50 ms, "
                "indexer memory <= 150 MB (%.0f MB)%s\n",
                ours.seconds / peer.seconds, double(ourBytes) / double(peerBytes), double(ours.peakBytes) / 1e6,
                same ? "" : "; the two found different files");
    return same ? 0 : 1;
}
