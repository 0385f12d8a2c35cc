// The real application, started as a user would on a demonstration home in a
// private session, judged by its launch-mode lines and what it leaves on disk.
#include "apprun.h"
#include "library/scanner.h"
#include "tempdir.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <cstring>
#include <utility>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

using Vars = QMap<QString, QString>;

// Every file under `root`, relative path → digest of its contents.
QMap<QString, QByteArray> contents(const QString &root)
{
    QMap<QString, QByteArray> out;
    QDirIterator it(root, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile file(path);
        QCryptographicHash hash(QCryptographicHash::Sha256);
        if (file.open(QIODevice::ReadOnly))
            hash.addData(&file);
        out.insert(QDir(root).relativeFilePath(path), hash.result());
    }
    return out;
}

int countFiles(const QString &root, const QStringList &patterns)
{
    int n = 0;
    for (const char *folder : {"Desktop", "Documents", "Downloads", "Pictures", "Videos", "Music"}) {
        QDirIterator it(root + u'/' + QLatin1String(folder), patterns, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            it.next();
            ++n;
        }
    }
    return n;
}

// What the scanner reads from the demonstration home, as the application is told to.
QList<FileItem> scanDemoHome()
{
    const QByteArray home = QFile::encodeName(demoHome());
    QList<QByteArray> roots;
    for (const char *folder : {"Desktop", "Documents", "Downloads", "Pictures", "Videos", "Music"})
        roots.append(home + '/' + folder);
    return Scanner::scan(roots, {home + "/Applications"});
}

// A socket file with nobody listening, as a killed instance leaves it.
void leaveStaleSocket(const QString &path)
{
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(fd, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray native = QFile::encodeName(path);
    ASSERT_LT(size_t(native.size()), sizeof(address.sun_path));
    std::memcpy(address.sun_path, native.constData(), size_t(native.size()));
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof(address)), 0);
    ::close(fd);
}

// The paths of a "first=[…]" list.
QStringList firstPaths(const QByteArray &line)
{
    static const QRegularExpression quoted(QStringLiteral(R"re("((?:[^"\\]|\\.)*)")re"));
    QStringList out;
    auto it = quoted.globalMatch(QString::fromUtf8(line.mid(line.indexOf("first="))));
    while (it.hasNext())
        out.append(it.next().captured(1));
    return out;
}

int number(const QByteArray &line, const char *key)
{
    const QRegularExpression re(QString::fromLatin1(key) + QStringLiteral(R"(=(\d+))"));
    const auto m = re.match(QString::fromUtf8(line));
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

class App : public testing::Test
{
protected:
    // A snapshot run that ends by itself; its snapshot line.
    QByteArray snapshot(const Vars &vars, AppProcess **keep = nullptr)
    {
        Vars all = vars;
        all.insert("TOVALO_SNAPSHOT", m_session.dir("snap.png"));
        if (!all.contains("TOVALO_WAIT"))
            all.insert("TOVALO_WAIT", "2.5");
        m_run = std::make_unique<AppProcess>(m_session.environment(all));
        const auto line = m_run->line("snapshot ");
        EXPECT_TRUE(m_run->finish());
        EXPECT_EQ(m_run->exitCode(), 0) << m_run->err().toStdString();
        if (keep)
            *keep = m_run.get();
        return line.value_or(QByteArray());
    }

    Session m_session;
    std::unique_ptr<AppProcess> m_run;
};

TEST_F(App, ParseModeNeedsNoDisplayAndEnds)
{
    QProcessEnvironment env = m_session.environment({{"TOVALO_PARSE", "pdfs from last week|images over 5 mb"}});
    env.remove("QT_QPA_PLATFORM");
    AppProcess run(env);
    ASSERT_TRUE(run.finish());
    EXPECT_EQ(run.exitCode(), 0) << run.err().toStdString();
    const QList<QByteArray> lines = run.lines();
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines[0].startsWith("parse | pdfs from last week | PDFs, Last week | "));
    EXPECT_EQ(lines[1], "parse | images over 5 mb | Images, Over 5 MB | - to -");
}

TEST_F(App, WithoutADisplayTheWindowIsRefusedWithAMessage)
{
    QProcessEnvironment env = m_session.environment();
    env.remove("QT_QPA_PLATFORM");
    AppProcess run(env);
    ASSERT_TRUE(run.finish());
    EXPECT_EQ(run.exitCode(), 1);
    EXPECT_TRUE(run.lines().isEmpty());
    EXPECT_TRUE(run.err().contains("no display")) << run.err().toStdString();
}

// `tovalo` only starts the program beside it; moved away from them, it says
// which one it could not start instead of failing quietly.
TEST_F(App, TheLauncherAloneSaysWhichProgramItCannotStart)
{
    QDir().mkpath(m_session.dir("lone"));
    const QString lone = m_session.dir("lone/tovalo");
    ASSERT_TRUE(QFile::copy(QStringLiteral(TOVALO_APP), lone));
    for (const auto &[parse, program] : {std::pair{false, "tovalo-window"}, std::pair{true, "tovalo-parse"}}) {
        QProcess run;
        run.setProcessEnvironment(m_session.environment(parse ? Vars{{"TOVALO_PARSE", "pdfs"}} : Vars{}));
        run.start(lone, {});
        ASSERT_TRUE(run.waitForFinished(30000));
        EXPECT_EQ(run.exitCode(), 127);
        const QByteArray err = run.readAllStandardError();
        EXPECT_TRUE(err.contains("cannot start") && err.contains(program)) << err.toStdString();
    }
}

TEST_F(App, SnapshotPicturesTheMainWindowAndCountsTheCatalog)
{
    const QByteArray line = snapshot({});
    const QString png = m_session.dir("snap.png");
    EXPECT_TRUE(line.startsWith("snapshot " + png.toUtf8() + " items=")) << line.toStdString();
    EXPECT_TRUE(line.endsWith(" windows=[main]")) << line.toStdString();
    EXPECT_EQ(number(line, "items"), int(scanDemoHome().size())) << line.toStdString();
    EXPECT_GT(number(line, "dups"), 0);
    EXPECT_GT(number(line, "sources"), 0);
    const QImage picture(png);
    ASSERT_FALSE(picture.isNull());
    EXPECT_GE(picture.width(), 780);
    EXPECT_GE(picture.height(), 500);
}

TEST_F(App, QueryTypesASearchAndReportsWhatItShows)
{
    const QByteArray line = [&] {
        AppProcess *run = nullptr;
        snapshot({{"TOVALO_QUERY", "pdfs"}}, &run);
        return run->line("search-test ", 0).value_or(QByteArray());
    }();
    const int pdfs = countFiles(demoHome(), {"*.pdf", "*.PDF"});
    ASSERT_GT(pdfs, 0);
    EXPECT_EQ(number(line, "visible"), pdfs) << line.toStdString();
    const QStringList paths = firstPaths(line);
    EXPECT_EQ(paths.size(), std::min(pdfs, 8)) << line.toStdString();
    for (const QString &path : paths) {
        EXPECT_TRUE(path.startsWith("~/")) << path.toStdString();
        EXPECT_TRUE(path.endsWith(".pdf", Qt::CaseInsensitive)) << path.toStdString();
    }
}

TEST_F(App, RouteOpensItsPageAndAnUnknownNameLeavesHome)
{
    // An empty search leaves the routed page in place and still reports what it shows.
    const auto shown = [&](const QString &route) {
        AppProcess *run = nullptr;
        Vars vars{{"TOVALO_QUERY", ""}};
        if (!route.isEmpty())
            vars.insert("TOVALO_ROUTE", route);
        snapshot(vars, &run);
        return firstPaths(run->line("search-test ", 0).value_or(QByteArray()));
    };
    const QStringList home = shown({});
    const QStringList images = shown("images");
    ASSERT_FALSE(images.isEmpty());
    for (const QString &path : images)
        EXPECT_TRUE(QRegularExpression(R"(\.(jpe?g|png|heic|gif|webp|tiff?)$)", QRegularExpression::CaseInsensitiveOption)
                        .match(path)
                        .hasMatch())
            << path.toStdString();
    EXPECT_NE(images, home);
    EXPECT_EQ(shown("videos"), home);
}

TEST_F(App, SubjectsLineCountsThePictures)
{
    AppProcess *run = nullptr;
    snapshot({{"TOVALO_SUBJECTS", "1"}}, &run);
    const auto line = run->line("subjects ", 0);
    ASSERT_TRUE(line);
    EXPECT_TRUE(QRegularExpression(R"(^subjects pictures=\d+ read=\d+/\d+ top: )").match(QString::fromUtf8(*line)).hasMatch())
        << line->toStdString();
    // The summary comes last.
    EXPECT_TRUE(run->lines().last().startsWith("snapshot "));
}

TEST_F(App, TrashTestPutsBackExactlyWhatItMoved)
{
    const QMap<QString, QByteArray> before = contents(demoHome());
    AppProcess *run = nullptr;
    snapshot({{"TOVALO_TRASH_TEST", "1"}, {"TOVALO_WAIT", "5"}}, &run);
    const auto trashed = run->line("trash-test trashed=", 0);
    const auto restored = run->line("trash-test restored=", 0);
    ASSERT_TRUE(trashed && restored) << run->err().toStdString();
    EXPECT_TRUE(trashed->startsWith("trash-test trashed=2/2 message=Moved 2 items to the Trash")) << trashed->toStdString();
    EXPECT_EQ(*restored, "trash-test restored=2/2 message=Put back 2 items");
    EXPECT_EQ(contents(demoHome()), before);
    EXPECT_TRUE(contents(m_session.dataHome() + "/Trash/files").isEmpty());
    EXPECT_TRUE(contents(m_session.dataHome() + "/Trash/info").isEmpty());
}

TEST_F(App, WaitThatIsNotANumberIsSevenSeconds)
{
    QElapsedTimer clock;
    clock.start();
    const QByteArray line = snapshot({{"TOVALO_WAIT", "abc"}});
    EXPECT_TRUE(line.startsWith("snapshot "));
    EXPECT_GE(clock.elapsed(), 7000);
}

TEST_F(App, ClosingTheWindowKeepsTheApplicationRunning)
{
    EXPECT_TRUE(snapshot({{"TOVALO_CLOSE_AFTER", "0.3"}}).endsWith(" windows=[]"));
    EXPECT_TRUE(snapshot({{"TOVALO_CLOSE_AFTER", "soon"}}).endsWith(" windows=[main]"));
}

TEST_F(App, SecondLaunchShowsTheFirstAndEnds)
{
    AppProcess first(m_session.environment({{"TOVALO_SNAPSHOT", m_session.dir("first.png")},
                                            {"TOVALO_WAIT", "6"},
                                            {"TOVALO_CLOSE_AFTER", "0"}}));
    const QString socket = m_session.runtimeDir() + "/tovalo.socket";
    waitUntil([&] { return QFile::exists(socket) || !first.running(); }, std::chrono::seconds(30));
    ASSERT_TRUE(QFile::exists(socket)) << first.err().toStdString();

    // Another session's launch is an instance of its own.
    Session other;
    AppProcess elsewhere(other.environment({{"TOVALO_SNAPSHOT", other.dir("snap.png")}, {"TOVALO_WAIT", "1"}}));
    EXPECT_TRUE(elsewhere.line("snapshot "));

    AppProcess second(m_session.environment());
    ASSERT_TRUE(second.finish());
    EXPECT_EQ(second.exitCode(), 0) << second.err().toStdString();
    EXPECT_TRUE(second.lines().isEmpty());

    const auto line = first.line("snapshot ");
    ASSERT_TRUE(line);
    EXPECT_TRUE(line->endsWith(" windows=[main]")) << line->toStdString();
}

TEST_F(App, SocketLeftByACrashIsTakenOver)
{
    const QString socket = m_session.runtimeDir() + "/tovalo.socket";
    leaveStaleSocket(socket);
    ASSERT_TRUE(QFile::exists(socket));
    EXPECT_TRUE(snapshot({{"TOVALO_WAIT", "1"}}).startsWith("snapshot "));
}

TEST_F(App, KeyRunStepsThroughTheGridAndThePreview)
{
    if (Xvfb::program().isEmpty())
        GTEST_SKIP() << "Xvfb is not installed (Debian package xvfb); the key run needs real windows";
    Xvfb server;
    ASSERT_FALSE(server.display().isEmpty()) << "Xvfb did not start";
    AppProcess run(m_session.environment(
        {{"QT_QPA_PLATFORM", "xcb"}, {"DISPLAY", server.display()}, {"TOVALO_KEY_TEST", "1"}, {"TOVALO_ROUTE", "recents"}}));
    ASSERT_TRUE(run.finish(90000));
    EXPECT_EQ(run.exitCode(), 0) << run.err().toStdString();
    QMap<QString, QMap<QString, QString>> steps;
    for (const QByteArray &l : run.lines()) {
        const QString text = QString::fromUtf8(l);
        if (!text.startsWith("key-test "))
            continue;
        const qsizetype colon = text.indexOf(QStringLiteral(": preview"));
        QMap<QString, QString> fields;
        for (const QString &pair : text.mid(colon + 2).split(u' ')) {
            const qsizetype eq = pair.indexOf(u'=');
            if (eq > 0)
                fields.insert(pair.left(eq), pair.mid(eq + 1));
        }
        steps.insert(text.mid(9, colon - 9), fields);
    }
    ASSERT_EQ(steps.size(), 9) << run.lines().join('\n').toStdString();
    const auto at = [&](const char *label, const char *field) { return steps.value(QString::fromUtf8(label)).value(field); };
    EXPECT_EQ(at("start", "selected"), "0");
    EXPECT_EQ(at("start", "open"), "false");
    EXPECT_EQ(at("→ in grid", "selected"), "1");
    EXPECT_EQ(at("Space opens", "open"), "true");
    EXPECT_EQ(at("Space opens", "showing"), "1");
    EXPECT_EQ(at("Space opens", "front"), "preview");
    EXPECT_EQ(at("→ with preview open", "showing"), "2");
    EXPECT_EQ(at("→ with preview open", "selected"), "2");
    const int below = at("↓ with preview open", "selected").toInt();
    EXPECT_GT(below, 2);
    EXPECT_EQ(at("↓ with preview open", "showing").toInt(), below);
    EXPECT_EQ(at("Space closes", "open"), "false");
    // With no window manager the main window takes the keyboard back itself.
    EXPECT_EQ(at("Space closes", "front"), "grid");
    EXPECT_EQ(at("Space closes", "selected").toInt(), below);
    EXPECT_EQ(at("Space reopens", "open"), "true");
    EXPECT_EQ(at("Space reopens", "showing").toInt(), below);
    EXPECT_EQ(at("grid clicked while preview open", "front"), "grid");
    EXPECT_EQ(at("grid clicked while preview open", "open"), "true");
    EXPECT_EQ(at("Space closes from grid", "open"), "false");
}

} // namespace
