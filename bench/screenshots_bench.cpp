// Text in real screenshots (xterm and xmessage windows under Xvfb, made by
// the tests' fixture maker): word recall per shot and time, for the image
// analysis in this process and for `tesseract FILE -` at one thread, run in
// turn on each shot. Times are CPU seconds (the machine is shared) and wall.
//
// usage: bench_screenshots [FOLDER]  (shots are kept there and made once)
#include "benchsupport.h"
#include "imageanalysis.h"
#include "realscreenshots.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>

#include <chrono>
#include <cstdio>
#include <ctime>
#include <sys/resource.h>

namespace {

double threadCpu()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

double childrenCpu()
{
    rusage u{};
    getrusage(RUSAGE_CHILDREN, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

double now()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (!RealScreenshots::available() || !Bench::haveProgram(QStringLiteral("tesseract"))) {
        std::fprintf(stderr, "bench_screenshots: needs Xvfb, xterm, xmessage, import and tesseract\n");
        return 1;
    }
    const QByteArray folder = argc > 1 ? QByteArray(argv[1]) : Bench::cacheFolder("tovalo-screenshots");
    QDir().mkpath(QFile::decodeName(folder));
    const std::vector<RealScreenshots::Shot> shots = RealScreenshots::make(folder);
    if (shots.empty())
        return 1;
    // Load the plug-in and the engine before timing.
    ImageAnalysis::perform(shots.front().path, true);

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("OMP_THREAD_LIMIT"), QStringLiteral("1"));
    double oursCpu = 0, oursWall = 0, theirsCpu = 0, theirsWall = 0, oursRecall = 0, theirsRecall = 0;
    int notBehind = 0;
    std::printf("%-22s %6s %6s   %7s %7s\n", "shot", "tovalo", "tess", "tovalo", "tess");
    std::printf("%-22s %6s %6s   %7s %7s\n", "", "recall", "recall", "cpu s", "cpu s");
    for (const RealScreenshots::Shot &shot : shots) {
        double wall0 = now(), cpu0 = threadCpu();
        const ImageAnalysis::Result ours = ImageAnalysis::perform(shot.path, true);
        const double ourCpu = threadCpu() - cpu0, ourWall = now() - wall0;

        QProcess tesseract;
        tesseract.setProcessEnvironment(env);
        tesseract.setStandardErrorFile(QProcess::nullDevice());
        wall0 = now();
        cpu0 = childrenCpu();
        tesseract.start(QStringLiteral("tesseract"), {QFile::decodeName(shot.path), QStringLiteral("-")});
        tesseract.waitForFinished(300000);
        const QString theirText = QString::fromUtf8(tesseract.readAllStandardOutput());
        const double theirCpu = childrenCpu() - cpu0, theirWall = now() - wall0;

        const double a = RealScreenshots::recall(shot.words, ours.lines.join(u'\n'));
        const double b = RealScreenshots::recall(shot.words, theirText);
        std::printf("%-22s %6.2f %6.2f   %7.2f %7.2f%s\n", qPrintable(shot.name), a, b, ourCpu, theirCpu,
                    a + 1e-9 < b ? "   behind" : "");
        oursCpu += ourCpu;
        oursWall += ourWall;
        theirsCpu += theirCpu;
        theirsWall += theirWall;
        oursRecall += a;
        theirsRecall += b;
        notBehind += a + 1e-9 >= b ? 1 : 0;
    }
    const double n = double(shots.size());
    std::printf("mean recall: tovalo %.3f, tesseract %.3f; not behind on %d of %d shots\n", oursRecall / n,
                theirsRecall / n, notBehind, int(shots.size()));
    std::printf("cpu: tovalo %.2f s, tesseract %.2f s, ratio %.2f (goal <= 1.0)\n", oursCpu, theirsCpu,
                oursCpu / theirsCpu);
    std::printf("wall: tovalo %.2f s, tesseract %.2f s, ratio %.2f\n", oursWall, theirsWall, oursWall / theirsWall);
    return 0;
}
