// The demonstration home, generated small, read back with the scanner: it
// must be reproducible and must exercise what the catalog treats specially.

#include "library/scanner.h"
#include "tempdir.h"

#include <gtest/gtest.h>
#include <memory>
#include <QCryptographicHash>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSet>

namespace {

constexpr char kNow[] = "2025-06-01T12:00:00Z";
const char *const kRoots[] = {"Desktop", "Documents", "Downloads", "Pictures", "Videos", "Music"};

struct ToolRun
{
    int exitCode = -1;
    QByteArray out, err;
};

ToolRun runTool(const QStringList &args)
{
    QProcess p;
    p.start(QStringLiteral(TOVALO_DEMOHOME), args);
    ToolRun r;
    if (!p.waitForFinished(180000))
        return r;
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = p.readAllStandardOutput();
    r.err = p.readAllStandardError();
    return r;
}

ToolRun makeHome(const QByteArray &dir)
{
    return runTool({QStringLiteral("--out"), QFile::decodeName(dir), QStringLiteral("--seed"),
                    QStringLiteral("7"), QStringLiteral("--now"), QString::fromLatin1(kNow),
                    QStringLiteral("--small")});
}

QList<FileItem> scanHome(const QByteArray &home)
{
    QList<QByteArray> roots;
    for (const char *r : kRoots)
        roots.append(home + '/' + r);
    return Scanner::scan(roots, {home + "/Applications"});
}

QString relative(const FileItem &item, const QByteArray &home)
{
    return QFile::decodeName(item.path().mid(home.size() + 1));
}

// One line per record with every fact a record takes from the disk, plus a
// digest of its bytes for the files small enough to read in a test.
QStringList listing(const QByteArray &home)
{
    QStringList out;
    for (const FileItem &item : scanHome(home)) {
        QByteArray digest;
        QFile f(QFile::decodeName(item.path()));
        if (item.size() < 4 * 1024 * 1024 && f.open(QIODevice::ReadOnly))
            digest = QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256).toHex();
        out.append(QStringLiteral("%1|%2|%3|%4|%5|%6|%7")
                       .arg(relative(item, home))
                       .arg(item.size())
                       .arg(item.modified())
                       .arg(item.source().value_or(QStringLiteral("-")))
                       .arg(int(item.kind()))
                       .arg(item.isScreenshot())
                       .arg(QString::fromLatin1(digest)));
    }
    return out;
}

class DemoHome : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        s_tree = std::make_unique<TempTree>();
        s_home = s_tree->path("home");
        s_run = makeHome(s_home);
        s_items = scanHome(s_home);
    }
    static void TearDownTestSuite() { s_tree.reset(); }

    void SetUp() override
    {
        ASSERT_EQ(s_run.exitCode, 0) << s_run.err.constData();
        ASSERT_FALSE(s_items.isEmpty());
    }

    static const FileItem *find(const QString &rel)
    {
        for (const FileItem &item : s_items)
            if (relative(item, s_home) == rel)
                return &item;
        return nullptr;
    }

    static bool onDisk(const char *rel)
    {
        return QFileInfo::exists(QFile::decodeName(s_home + '/' + rel));
    }

    static inline std::unique_ptr<TempTree> s_tree;
    static inline QByteArray s_home;
    static inline ToolRun s_run;
    static inline QList<FileItem> s_items;
};

TEST_F(DemoHome, SameSeedAndTimeMakeTheSameHome)
{
    const QByteArray again = s_tree->path("again");
    const ToolRun run = makeHome(again);
    ASSERT_EQ(run.exitCode, 0) << run.err.constData();
    const QStringList first = listing(s_home);
    EXPECT_EQ(first, listing(again));
    // About sixty files, so tests that build on it stay quick.
    EXPECT_GE(first.size(), 30);
    EXPECT_LE(first.size(), 80);
}

TEST_F(DemoHome, DatesLieInTheThreeYearsBeforeNow)
{
    const Millis now =
        QDateTime::fromString(QString::fromLatin1(kNow), Qt::ISODate).toMSecsSinceEpoch();
    const Millis threeYears = Millis(3 * 366) * 86400000;
    for (const FileItem &item : s_items) {
        EXPECT_LE(item.modified(), now) << relative(item, s_home).toStdString();
        EXPECT_GE(item.modified(), now - threeYears) << relative(item, s_home).toStdString();
    }
}

TEST_F(DemoHome, HiddenEntriesAndDependencyFoldersAreNeverListed)
{
    for (const char *rel : {".tovalo-demo", "Documents/.DS_Store", "Documents/.cache",
                            "Documents/Projects/site/node_modules/left-pad/index.js"})
        ASSERT_TRUE(onDisk(rel)) << rel;
    for (const FileItem &item : s_items) {
        const QString rel = relative(item, s_home);
        EXPECT_FALSE(rel.startsWith(u'.') || rel.contains(u"/.")) << rel.toStdString();
        EXPECT_FALSE(rel.contains(u"/node_modules/")) << rel.toStdString();
    }
    EXPECT_NE(find(QStringLiteral("Documents/Projects/site/index.html")), nullptr);
}

TEST_F(DemoHome, ScreenshotsOfEachToolAreFlaggedAndPhotosAreNot)
{
    // GNOME's, Spectacle's and the older "Screen Shot … at …" names.
    const QStringList prefixes = {QStringLiteral("Screenshot from "), QStringLiteral("Screenshot_"),
                                  QStringLiteral("Screen Shot ")};
    QSet<QString> seen;
    for (const FileItem &item : s_items) {
        const QString rel = relative(item, s_home);
        if (rel.startsWith(u"Pictures/Screenshots/")) {
            EXPECT_TRUE(item.isScreenshot()) << rel.toStdString();
            for (const QString &p : prefixes)
                if (item.name().startsWith(p))
                    seen.insert(p);
        }
        if (rel.startsWith(u"Pictures/Camera/")) {
            EXPECT_FALSE(item.isScreenshot()) << rel.toStdString();
        }
    }
    EXPECT_EQ(seen.size(), prefixes.size());
    const FileItem *desktop = nullptr;
    for (const FileItem &item : s_items)
        if (relative(item, s_home).startsWith(u"Desktop/Screenshot from "))
            desktop = &item;
    ASSERT_NE(desktop, nullptr);
    EXPECT_TRUE(desktop->isScreenshot());
}

TEST_F(DemoHome, DownloadsAreNamedByTheirSource)
{
    if (s_run.err.contains("keeps no user attributes"))
        GTEST_SKIP() << "the temporary folder's file system keeps no user attributes";
    const struct
    {
        const char *file;
        const char *source;
    } cases[] = {
        {"Downloads/Invoice-2025-031.pdf", "Gmail"},
        {"Downloads/design-review.pdf", "Slack"},
        {"Downloads/tool-2.4.1-linux-x86_64.tar.gz", "GitHub"},
        {"Downloads/Setup-2.3.1.dmg", "example.org"},
        {"Downloads/tool-3.0.1-x86_64.AppImage", "example-tools.io"},
    };
    for (const auto &c : cases) {
        const FileItem *item = find(QString::fromUtf8(c.file));
        ASSERT_NE(item, nullptr) << c.file;
        EXPECT_EQ(item->source(), std::optional<QString>(QString::fromUtf8(c.source))) << c.file;
    }
    QSet<QString> sources;
    for (const FileItem &item : s_items)
        if (item.source())
            sources.insert(*item.source());
    EXPECT_GE(sources.size(), 3);
    // Copies saved or made by hand carry no origin.
    const FileItem *copy = find(QStringLiteral("Downloads/report (1).pdf"));
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->source(), std::nullopt);
}

TEST_F(DemoHome, OnlyAppsAtMostOneFolderDownAreFound)
{
    ASSERT_TRUE(onDisk("Applications/Games/Arcade/Pinball.app/Contents/Info.plist"));
    QStringList apps;
    for (const FileItem &item : s_items)
        if (item.kind() == Kind::app)
            apps.append(relative(item, s_home));
    // An AppImage is an app wherever the catalog finds it.
    EXPECT_EQ(apps, (QStringList{QStringLiteral("Downloads/tool-3.0.1-x86_64.AppImage"),
                                 QStringLiteral("Applications/Paint.app"),
                                 QStringLiteral("Applications/Utilities/Clock.app")}));
}

TEST_F(DemoHome, ADocumentPackageIsOneRecord)
{
    const FileItem *budget = find(QStringLiteral("Documents/Budget.numbers"));
    ASSERT_NE(budget, nullptr);
    EXPECT_EQ(budget->kind(), Kind::document);
    EXPECT_EQ(budget->size(), Scanner::folderSize(budget->path()));
    EXPECT_GT(budget->size(), 0);
    for (const FileItem &item : s_items)
        EXPECT_FALSE(relative(item, s_home).startsWith(u"Documents/Budget.numbers/"));
}

TEST(DemoHomeTarget, RefusesAForeignFolderAndReplacesAnEarlierHome)
{
    TempTree tree;
    tree.file("mine/letter.txt", "keep me");
    const ToolRun refused = makeHome(tree.path("mine"));
    EXPECT_EQ(refused.exitCode, 2);
    EXPECT_EQ(refused.err.count('\n'), 1) << refused.err.constData();
    EXPECT_TRUE(QFileInfo::exists(QFile::decodeName(tree.path("mine/letter.txt"))));

    ASSERT_EQ(makeHome(tree.path("demo")).exitCode, 0);
    tree.file("demo/Desktop/stray.txt", "left from before");
    const ToolRun replaced = makeHome(tree.path("demo"));
    EXPECT_EQ(replaced.exitCode, 0) << replaced.err.constData();
    EXPECT_FALSE(QFileInfo::exists(QFile::decodeName(tree.path("demo/Desktop/stray.txt"))));
    EXPECT_TRUE(QFileInfo::exists(QFile::decodeName(tree.path("demo/Documents/Work/report.pdf"))));
}

} // namespace
