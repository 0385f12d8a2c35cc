// Process start-up against a Qt Core program that does nothing: `tovalo-cli
// parse hello` and the application's windowless parse mode, run in turn
// (paired alternation, so load on the shared machine hits all alike), with
// the medians, the ratios and the shared objects each one loads.
#include <QCoreApplication>
#include <QProcess>
#include <QProcessEnvironment>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace {

struct Subject
{
    const char *label;
    QString program;
    QStringList arguments;
    QProcessEnvironment env;
    std::vector<double> ms;
};

double runOnce(const Subject &s)
{
    QProcess p;
    p.setProcessEnvironment(s.env);
    p.setStandardOutputFile(QProcess::nullDevice());
    p.setStandardErrorFile(QProcess::nullDevice());
    const auto t0 = std::chrono::steady_clock::now();
    p.start(s.program, s.arguments);
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        std::fprintf(stderr, "bench_startup: %s failed\n", s.label);
        std::exit(1);
    }
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

// Shared objects the dynamic loader maps for the program, as ldd counts them.
int loadedObjects(const Subject &s)
{
    QProcess p;
    QProcessEnvironment env = s.env;
    env.insert(QStringLiteral("LD_TRACE_LOADED_OBJECTS"), QStringLiteral("1"));
    p.setProcessEnvironment(env);
    p.start(s.program, {});
    p.waitForFinished(60000);
    return int(p.readAllStandardOutput().count('\n'));
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(3, atoi(argv[1])) : 30;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("TOVALO_PARSE"));
    QProcessEnvironment parseEnv = env;
    parseEnv.insert(QStringLiteral("TOVALO_PARSE"), QStringLiteral("hello"));
    std::vector<Subject> subjects = {
        {"empty Qt Core program", QStringLiteral(TOVALO_EMPTY_CORE), {}, env, {}},
        {"tovalo-cli parse hello", QStringLiteral(TOVALO_CLI), {QStringLiteral("parse"), QStringLiteral("hello")},
         env, {}},
        {"tovalo, TOVALO_PARSE=hello", QStringLiteral(TOVALO_APP), {}, parseEnv, {}},
    };
    for (Subject &s : subjects)
        runOnce(s); // warm the page cache
    for (int r = 0; r < rounds; ++r)
        for (Subject &s : subjects)
            s.ms.push_back(runOnce(s));
    std::printf("start-up, median of %d runs in alternation\n", rounds);
    for (const Subject &s : subjects)
        std::printf("  %-28s %7.1f ms  %3d shared objects\n", s.label, median(s.ms), loadedObjects(s));
    const double peer = median(subjects[0].ms);
    const double cli = median(subjects[1].ms);
    const double gui = median(subjects[2].ms);
    std::printf("ratio tovalo-cli parse / empty Qt Core program: %.2f (goal <= 3)\n", cli / peer);
    std::printf("ratio tovalo TOVALO_PARSE / tovalo-cli parse:   %.2f (goal <= 1.2)\n", gui / cli);
    return 0;
}
