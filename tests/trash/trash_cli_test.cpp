#include "tempdir.h"
#include "trashtesting.h"

#include <gtest/gtest.h>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QThread>
#include <csignal>

using namespace TrashTesting;

namespace {

struct CliRun
{
    int status;
    QList<QByteArray> out;
    QByteArray err;
};

// Runs `script` in a shell with "$0" the command-line tool, so a test can pass
// argument bytes that no QString holds; the user's home is a private one.
CliRun cliShell(const TempTree &tree, const QByteArray &script, const QByteArray &cwd)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), QFile::decodeName(tree.path("home")));
    env.insert(QStringLiteral("XDG_DATA_HOME"), QFile::decodeName(tree.path("home/.local/share")));
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    p.setProcessEnvironment(env);
    p.setWorkingDirectory(QFile::decodeName(cwd));
    p.start(QStringLiteral("/bin/sh"),
            {QStringLiteral("-c"), QString::fromUtf8(script), QStringLiteral(TOVALO_CLI)});
    p.waitForFinished(60000);
    QList<QByteArray> lines = p.readAllStandardOutput().split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return {p.exitCode(), lines, p.readAllStandardError()};
}

QJsonObject json(const QByteArray &line)
{
    return QJsonDocument::fromJson(line).object();
}

} // namespace

TEST(TrashCommand, MovesWhatItCanAndSaysWhyTheRestStayed)
{
    TempTree tree;
    tree.folder("home/.local/share");
    const QByteArray plain = tree.file("docs/a.txt", QByteArray(2048, 'a'));
    const QByteArray latin = tree.file("docs/caf\xe9.txt", QByteArray(1000, 'c'));
    // Relative paths, a name that is not UTF-8, and one file that is not there.
    const CliRun run =
        cliShell(tree, R"sh(exec "$0" trash a.txt "$(printf 'caf\351.txt')" missing.txt)sh",
                 tree.path("docs"));
    EXPECT_EQ(run.status, 1);
    ASSERT_EQ(run.out.size(), 3) << run.out.join('\n').toStdString();
    EXPECT_EQ(run.out.at(0), "Moved 2 items to the Trash · 3 KB freed (1 could not be moved)");
    const QJsonObject first = json(run.out.at(1));
    EXPECT_EQ(first.value("from").toString(), QString::fromUtf8(plain));
    const QByteArray to = first.value("to").toString().toUtf8();
    EXPECT_EQ(to, tree.path("home/.local/share/Trash/files/a.txt"));
    EXPECT_EQ(contents(to), QByteArray(2048, 'a'));
    EXPECT_FALSE(exists(plain));
    EXPECT_FALSE(exists(latin));
    EXPECT_EQ(contents(tree.path("home/.local/share/Trash/files/caf\xe9.txt")),
              QByteArray(1000, 'c'));
    EXPECT_TRUE(run.err.contains("No such file: "));
    EXPECT_TRUE(run.err.contains("missing.txt"));
}

TEST(TrashCommand, ExitsZeroWhenEverythingMoved)
{
    TempTree tree;
    tree.file("docs/folder/inner.txt", "inner");
    const CliRun run = cliShell(tree, R"(exec "$0" trash -- "$PWD/folder/")", tree.path("docs"));
    EXPECT_EQ(run.status, 0) << run.err.toStdString();
    ASSERT_EQ(run.out.size(), 2);
    EXPECT_TRUE(run.out.at(0).startsWith("Moved 1 item to the Trash · "));
    EXPECT_FALSE(run.out.at(0).contains("could not"));
    EXPECT_EQ(json(run.out.at(1)).value("from").toString().toUtf8(), tree.path("docs/folder"));
    EXPECT_EQ(contents(tree.path("home/.local/share/Trash/files/folder/inner.txt")), "inner");
}

TEST(TrashCommand, BadUsageChangesNothing)
{
    TempTree tree;
    const QByteArray kept = tree.file("docs/kept.txt", "kept");
    for (const QByteArray script : {R"(exec "$0" trash)", R"(exec "$0" trash --force kept.txt)"}) {
        SCOPED_TRACE(script.toStdString());
        const CliRun run = cliShell(tree, script, tree.path("docs"));
        EXPECT_EQ(run.status, 2);
        EXPECT_TRUE(run.out.isEmpty());
        EXPECT_TRUE(run.err.startsWith("tovalo-cli: ")) << run.err.toStdString();
        EXPECT_EQ(run.err.count('\n'), 1);
    }
    EXPECT_EQ(contents(kept), "kept");
}

TEST(TrashCommand, AnEmptyPathMovesNothingAtAll)
{
    TempTree tree;
    tree.folder("home/.local/share");
    const QByteArray kept = tree.file("docs/kept.txt", "kept");
    // An unset variable in a script: alone, or beside a real file.
    for (const QByteArray script : {R"(exec "$0" trash "$unset")", R"(exec "$0" trash kept.txt "")",
                                    R"(exec "$0" trash -- "")"}) {
        SCOPED_TRACE(script.toStdString());
        const CliRun run = cliShell(tree, script, tree.path("docs"));
        EXPECT_EQ(run.status, 1);
        EXPECT_TRUE(run.out.isEmpty());
        EXPECT_EQ(run.err, "tovalo-cli: an empty PATH names no file; nothing was moved\n");
        EXPECT_EQ(contents(kept), "kept");
        EXPECT_FALSE(exists(tree.path("home/.local/share/Trash")));
    }
}

TEST(TrashCommand, TheTrashFoldersAreRefused)
{
    TempTree tree;
    tree.file("docs/a.txt", "a");
    ASSERT_EQ(cliShell(tree, R"(exec "$0" trash a.txt)", tree.path("docs")).status, 0);
    const QByteArray trash = tree.path("home/.local/share/Trash");
    const CliRun run = cliShell(tree, R"(exec "$0" trash "$HOME/.local/share/Trash/info")",
                                tree.path("docs"));
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.err.contains("it is part of the Trash")) << run.err.toStdString();
    EXPECT_EQ(entries(trash + "/info"), QList<QByteArray>{"a.txt.trashinfo"});
    EXPECT_EQ(entries(trash + "/files"), QList<QByteArray>{"a.txt"});
}

// A batch killed at any moment leaves no record that trash tools cannot read,
// and the next run leaves no record without its file.
TEST(TrashCommand, AKilledBatchLeavesNoBrokenRecordsBehind)
{
    TempTree tree;
    tree.folder("home/.local/share");
    constexpr int kFiles = 3000;
    QByteArray script = R"(exec "$0" trash)";
    for (int i = 0; i < kFiles; ++i) {
        const QByteArray name = "f" + QByteArray::number(i);
        tree.file("docs/" + name, name);
        script += ' ' + name;
    }
    const QByteArray info = tree.path("home/.local/share/Trash/info");
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), QFile::decodeName(tree.path("home")));
    env.insert(QStringLiteral("XDG_DATA_HOME"), QFile::decodeName(tree.path("home/.local/share")));
    p.setProcessEnvironment(env);
    p.setWorkingDirectory(QFile::decodeName(tree.path("docs")));
    p.start(QStringLiteral("/bin/sh"),
            {QStringLiteral("-c"), QString::fromUtf8(script), QStringLiteral(TOVALO_CLI)});
    ASSERT_TRUE(p.waitForStarted());
    // Killed in the middle of its batch.
    while (p.state() == QProcess::Running && entries(info).size() < kFiles / 3)
        QThread::usleep(200);
    ASSERT_EQ(p.state(), QProcess::Running) << "the batch ended before it could be interrupted";
    ::kill(pid_t(p.processId()), SIGKILL);
    p.waitForFinished();

    for (const QByteArray &name : entries(info)) {
        if (name.endsWith(".trashinfo")) {
            EXPECT_TRUE(contents(info + '/' + name).startsWith("[Trash Info]\nPath="))
                << name.data();
        }
    }
    tree.file("docs/after.txt", "after");
    ASSERT_EQ(cliShell(tree, R"(exec "$0" trash after.txt)", tree.path("docs")).status, 0);
    const QByteArray files = tree.path("home/.local/share/Trash/files");
    int records = 0;
    for (const QByteArray &name : entries(info)) {
        ASSERT_TRUE(name.endsWith(".trashinfo")) << name.data();
        EXPECT_TRUE(exists(files + '/' + name.chopped(10))) << name.data();
        ++records;
    }
    EXPECT_EQ(records, entries(files).size());
    EXPECT_EQ(entries(tree.path("docs")).size() + records, kFiles + 1);
}
