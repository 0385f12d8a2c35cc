#include "benchsupport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>

#include <algorithm>
#include <cstdio>
#include <unistd.h>

namespace Bench {

double medianSeconds(int runs, const std::function<void()> &work)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer clock;
        clock.start();
        work();
        times.push_back(double(clock.nsecsElapsed()) / 1e9);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

bool runQuiet(const QString &program, const QStringList &arguments)
{
    QProcess p;
    p.setStandardOutputFile(QProcess::nullDevice());
    p.setStandardErrorFile(QProcess::nullDevice());
    p.start(program, arguments);
    if (!p.waitForFinished(-1))
        return false;
    return p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

bool haveProgram(const QString &program)
{
    return !QStandardPaths::findExecutable(program).isEmpty();
}

qint64 residentBytes()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields.at(1).toLongLong() * ::sysconf(_SC_PAGESIZE) : 0;
}

QByteArray cacheFolder(const QByteArray &name)
{
    const QByteArray path = QFile::encodeName(QDir::tempPath()) + "/tovalo-bench-" + name;
    QDir().mkpath(QFile::decodeName(path));
    return path;
}

QByteArray realTree()
{
    const QByteArray root = cacheFolder("realtree");
    const QByteArray done = root + "/.complete";
    if (QFile::exists(QFile::decodeName(done)))
        return root;
    const QStringList sources = {QStringLiteral("/usr/share/doc"), QStringLiteral("/usr/share/man"),
                                 QStringLiteral("/usr/share/icons"), QStringLiteral("/usr/include"),
                                 QStringLiteral("/usr/lib/x86_64-linux-gnu")};
    std::fprintf(stderr, "copying the real tree into %s (once)\n", root.constData());
    QProcess cp;
    cp.setWorkingDirectory(QFile::decodeName(root));
    cp.setStandardErrorFile(QProcess::nullDevice());
    cp.start(QStringLiteral("cp"), QStringList{QStringLiteral("-a"), QStringLiteral("--parents")} + sources);
    cp.waitForFinished(-1);
    QFile mark(QFile::decodeName(done));
    if (mark.open(QIODevice::WriteOnly))
        mark.close();
    return root;
}

std::pair<double, double> pairedMedians(int runs, const std::function<void()> &ours,
                                        const std::function<void()> &peer)
{
    std::vector<double> a, b;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer clock;
        clock.start();
        ours();
        a.push_back(double(clock.nsecsElapsed()) / 1e9);
        clock.start();
        peer();
        b.push_back(double(clock.nsecsElapsed()) / 1e9);
    }
    std::sort(a.begin(), a.end());
    std::sort(b.begin(), b.end());
    return {a[a.size() / 2], b[b.size() / 2]};
}

} // namespace Bench
