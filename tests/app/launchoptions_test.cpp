#include "launchoptions.h"
#include "singleinstance.h"
#include "tempdir.h"

#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using Action = LaunchOptions::Action;

struct Outcome
{
    int status = -1;
    QByteArray out;
    QByteArray err;
};

// The application with `arguments` and no display at all.
Outcome tovalo(const QStringList &arguments, const QProcessEnvironment &base = QProcessEnvironment::systemEnvironment())
{
    QProcessEnvironment env = base;
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(QString::fromLatin1(name));
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(TOVALO_APP), arguments);
    p.waitForFinished(30000);
    return {p.exitCode(), p.readAllStandardOutput(), p.readAllStandardError()};
}

} // namespace

TEST(LaunchOptions, ReadsTheCommandLine)
{
    struct Case
    {
        QStringList arguments;
        Action action;
        bool quickSearch;
    };
    const Case cases[] = {
        {{"tovalo"}, Action::run, false},
        {{"tovalo", "--quick-search"}, Action::run, true},
        {{"tovalo", "--help"}, Action::help, false},
        {{"tovalo", "-h"}, Action::help, false},
        {{"tovalo", "--quick-search", "--version"}, Action::version, true},
        {{"tovalo", "--frobnicate"}, Action::bad, false},
        {{"tovalo", "notes.txt"}, Action::bad, false},
    };
    for (const Case &c : cases) {
        const LaunchOptions o = LaunchOptions::parse(c.arguments);
        EXPECT_EQ(o.action(), c.action) << c.arguments.join(' ').toStdString();
        EXPECT_EQ(o.quickSearch(), c.quickSearch) << c.arguments.join(' ').toStdString();
        EXPECT_EQ(o.problem().isEmpty(), c.action != Action::bad);
    }
    EXPECT_TRUE(LaunchOptions::parse({"tovalo", "--frobnicate"}).problem().contains("--frobnicate"));
}

TEST(LaunchOptions, HelpAndVersionNeedNoDisplay)
{
    const Outcome help = tovalo({"--help"});
    EXPECT_EQ(help.status, 0) << help.err.toStdString();
    EXPECT_TRUE(help.out.startsWith("usage: tovalo")) << help.out.toStdString();
    EXPECT_TRUE(help.out.contains("--quick-search"));
    const Outcome version = tovalo({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "tovalo " TOVALO_VERSION_TEXT "\n");
    EXPECT_TRUE(version.err.isEmpty());
}

TEST(LaunchOptions, AnUnknownOptionIsRefusedInOneLine)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(TOVALO_APP), {"--frobnicate"});
    ASSERT_TRUE(p.waitForFinished(30000));
    EXPECT_EQ(p.exitCode(), 2);
    // One line of its own (Qt may add its own warnings about the session).
    const QList<QByteArray> lines = p.readAllStandardError().split('\n');
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(), [](const QByteArray &l) { return l.startsWith("tovalo:"); }), 1);
    EXPECT_TRUE(lines.contains("tovalo: unknown option: --frobnicate (tovalo --help lists them)"));
    EXPECT_TRUE(p.readAllStandardOutput().isEmpty());
}

// The desktop entry's Quick Search action: a second launch with
// --quick-search hands the request to the running instance and ends.
TEST(LaunchOptions, QuickSearchIsHandedToTheRunningInstance)
{
    QTemporaryDir runtime;
    const QByteArray before = qgetenv("XDG_RUNTIME_DIR");
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    SingleInstance running;
    ASSERT_EQ(running.claim(), SingleInstance::Outcome::first);
    QSignalSpy quick(&running, &SingleInstance::quickSearchRequested);
    QSignalSpy shown(&running, &SingleInstance::showRequested);

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_RUNTIME_DIR", runtime.path());
    env.insert("QT_QPA_PLATFORM", "offscreen");
    QProcess second;
    second.setProcessEnvironment(env);
    second.start(QStringLiteral(TOVALO_APP), {"--quick-search"});
    ASSERT_TRUE(waitUntil([&] { return second.state() == QProcess::NotRunning; }, std::chrono::seconds(30)));
    EXPECT_EQ(second.exitCode(), 0) << second.readAllStandardError().toStdString();
    EXPECT_EQ(quick.count(), 1);
    EXPECT_EQ(shown.count(), 0);
    qputenv("XDG_RUNTIME_DIR", before);
}
