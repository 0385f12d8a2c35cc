// Time from launching tovalo to its first painted main window, with a
// catalog of 100,000 files on disk, against the time the first scan of
// those files takes in the same run: the window must not wait for the scan.
#include "benchsupport.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

namespace {

constexpr int kFiles = 100'000;
constexpr int kPerFolder = 500;
constexpr int kRuns = 7;

QByteArray catalogTree()
{
    const QByteArray root = Bench::cacheFolder("firstwindow-100k");
    const QByteArray done = root + "/.complete";
    if (QFile::exists(QFile::decodeName(done)))
        return root;
    for (int i = 0; i < kFiles; ++i) {
        const QByteArray folder = root + "/Documents/d" + QByteArray::number(i / kPerFolder);
        if (i % kPerFolder == 0)
            QDir().mkpath(QFile::decodeName(folder));
        QFile file(QFile::decodeName(folder + "/note-" + QByteArray::number(i) + (i % 3 ? ".txt" : ".pdf")));
        if (file.open(QIODevice::WriteOnly))
            file.write(QByteArray::number(i));
    }
    QFile(QFile::decodeName(done)).open(QIODevice::WriteOnly);
    return root;
}

struct Run
{
    double paintMs = -1;
    double scanMs = -1;
};

Run launch(const QString &app, const QByteArray &tree, const QTemporaryDir &session)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const QString &key : env.keys())
        if (key.startsWith(QLatin1String("TOVALO_")))
            env.remove(key);
    env.remove("DISPLAY");
    env.remove("WAYLAND_DISPLAY");
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("HOME", session.path());
    env.insert("XDG_CONFIG_HOME", session.path() + "/config");
    env.insert("XDG_DATA_HOME", session.path() + "/data");
    env.insert("XDG_CACHE_HOME", session.path() + "/cache");
    env.insert("XDG_RUNTIME_DIR", session.path());
    env.insert("OMP_THREAD_LIMIT", "1");
    env.insert("TOVALO_FIRST_PAINT", "1");
    env.insert("TOVALO_DEMO_HOME", QFile::decodeName(tree));
    env.insert("TOVALO_ROOTS", QFile::decodeName(tree + "/Documents"));
    env.insert("TOVALO_APPS", QFile::decodeName(tree + "/Applications"));

    QProcess p;
    p.setProcessEnvironment(env);
    QElapsedTimer clock;
    clock.start();
    p.start(app, {});
    Run run;
    QByteArray out, err;
    QDeadlineTimer deadline(60000);
    while ((run.paintMs < 0 || run.scanMs < 0) && !deadline.hasExpired() && p.state() != QProcess::NotRunning) {
        p.waitForReadyRead(5);
        out += p.readAllStandardOutput();
        err += p.readAllStandardError();
        if (run.paintMs < 0 && out.contains("first-paint "))
            run.paintMs = double(clock.nsecsElapsed()) / 1e6;
        if (run.scanMs < 0 && err.contains("read ") && err.contains(" files in "))
            run.scanMs = double(clock.nsecsElapsed()) / 1e6;
    }
    p.kill();
    p.waitForFinished(10000);
    return run;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? -1 : values[values.size() / 2];
}

} // namespace

int main(int argc, char **argv)
{
    const QString app = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(TOVALO_APP);
    const QByteArray tree = catalogTree();
    std::vector<double> paints, scans;
    int before = 0;
    for (int i = 0; i < kRuns; ++i) {
        QTemporaryDir session;
        const Run run = launch(app, tree, session);
        if (run.paintMs < 0) {
            std::fprintf(stderr, "bench_firstwindow: run %d painted no window\n", i + 1);
            continue;
        }
        paints.push_back(run.paintMs);
        if (run.scanMs >= 0)
            scans.push_back(run.scanMs);
        before += run.scanMs < 0 || run.paintMs < run.scanMs ? 1 : 0;
    }
    const double paint = median(paints);
    const double scan = median(scans);
    std::printf("first window, %d files on disk, offscreen, median of %zu runs:\n", kFiles, paints.size());
    std::printf("  launch to first paint   %8.1f ms (goal <= 400)\n", paint);
    std::printf("  launch to scan finished %8.1f ms\n", scan);
    std::printf("  paint / scan            %8.2f\n", scan > 0 ? paint / scan : 0.0);
    std::printf("  painted before the scan finished in %d of %zu runs\n", before, paints.size());
    return paints.empty() ? 1 : 0;
}
