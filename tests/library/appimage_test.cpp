#include "analysis/duplicates.h"
#include "appimage.h"
#include "appimagefile.h"
#include "library/scanner.h"
#include "noatime.h"
#include "tempdir.h"

#include <QDateTime>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr qint64 kDay = 86'400'000;

const FileItem *find(const QList<FileItem> &items, const QByteArray &path)
{
    for (const FileItem &item : items)
        if (item.path() == path)
            return &item;
    return nullptr;
}

qint64 accessed(const QByteArray &path)
{
    struct stat st;
    ::lstat(path.constData(), &st);
    return qint64(st.st_atim.tv_sec) * 1000 + st.st_atim.tv_nsec / 1000000;
}

// A squashfs image of `files` (name → contents; "name -> target" makes a link), or empty without mksquashfs.
QByteArray squashfs(TempTree &t, const QList<std::pair<QByteArray, QByteArray>> &files)
{
    if (QStandardPaths::findExecutable(QStringLiteral("mksquashfs")).isEmpty())
        return {};
    for (const auto &[name, contents] : files) {
        const qsizetype arrow = name.indexOf(" -> ");
        if (arrow > 0) {
            t.folder("root");
            ::symlink(name.mid(arrow + 4).constData(), t.path("root/" + name.left(arrow)).constData());
        } else {
            t.file("root/" + name, contents);
        }
    }
    QProcess p;
    p.start(QStringLiteral("mksquashfs"), {QFile::decodeName(t.path("root")), QFile::decodeName(t.path("img")),
                                          "-quiet", "-noappend", "-all-root", "-no-progress"});
    p.waitForFinished(30000);
    QFile image(QFile::decodeName(t.path("img")));
    return image.open(QIODevice::ReadOnly) ? image.readAll() : QByteArray();
}

} // namespace

TEST(AppImages, AreAppsAnywhereSizedAsFilesAndShownWithoutTheExtension)
{
    TempTree t;
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    const QByteArray body = appImageBytes(QByteArray(5000, 'x'));
    struct Case
    {
        const char *path;
        qint64 accessedAgo, modifiedAgo;
        std::optional<qint64> lastUsedAgo;
        const char *shown;
    };
    const Case cases[] = {
        {"Downloads/Tool-1.2-x86_64.AppImage", 3 * kDay, 40 * kDay, 3 * kDay, "Tool-1.2-x86_64"},
        {"Apps/Editor.appimage", 40 * kDay, 40 * kDay, std::nullopt, "Editor"},   // never opened since written
        {"Apps/Sub/Viewer.APPIMAGE", 50 * kDay, 40 * kDay, std::nullopt, "Viewer"}, // copied in with an old date
        {"Apps/Sub/Old.AppImage", 200 * kDay, 400 * kDay, 200 * kDay, "Old"},
    };
    for (const Case &c : cases) {
        t.file(c.path, body);
        setFileTimes(t.path(c.path), now - c.accessedAgo, now - c.modifiedAgo);
    }
    t.file("Apps/readme.txt");
    t.file("Apps/Sub/Deeper/Hidden.AppImage", body); // application folders are read two levels deep

    const QList<FileItem> items = Scanner::scan({t.path("Downloads")}, {t.path("Apps")});
    ASSERT_EQ(items.size(), 4);
    for (const Case &c : cases) {
        const FileItem *item = find(items, t.path(c.path));
        ASSERT_TRUE(item) << c.path;
        EXPECT_EQ(item->kind(), Kind::app) << c.path;
        EXPECT_EQ(item->size(), body.size()) << c.path;
        EXPECT_EQ(item->displayName(), c.shown) << c.path;
        EXPECT_EQ(item->lastUsed().has_value(), c.lastUsedAgo.has_value()) << c.path;
        if (c.lastUsedAgo && item->lastUsed()) {
            EXPECT_NEAR(double(*item->lastUsed()), double(now - *c.lastUsedAgo), 1000.0) << c.path;
        }
        EXPECT_EQ(Scanner::item(t.path(c.path))->lastUsed(), item->lastUsed()) << c.path;
    }
}

TEST(AppImages, ABundleWasLastUsedWhenItsFolderWasLastRead)
{
    TempTree t;
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    t.file("Apps/Paint.app/Contents/Info.plist");
    setFileTimes(t.path("Apps/Paint.app"), now - 200 * kDay, now - 300 * kDay);
    const QList<FileItem> items = Scanner::scan({}, {t.path("Apps")});
    ASSERT_EQ(items.size(), 1);
    ASSERT_TRUE(items[0].lastUsed().has_value());
    EXPECT_NEAR(double(*items[0].lastUsed()), double(now - 200 * kDay), 1000.0);
}

// Tovalo's own reads must leave access times alone, or an app it sized,
// hashed or drew would look opened today.
TEST(AppImages, TovalosOwnReadsKeepTheAccessTime)
{
    TempTree t;
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    const QByteArray tool = t.file("Tool.AppImage", appImageBytes(QByteArray(4096, 'a')));
    const QByteArray probe = t.file("probe", QByteArray(4096, 'p'));
    t.file("Paint.app/Contents/bin", QByteArray(4096, 'b'));
    const QByteArray bundle = t.path("Paint.app");
    const QByteArray contents = t.path("Paint.app/Contents");
    // Read ten days ago, changed twenty days ago: relatime moves such a date on any plain read.
    for (const QByteArray &p : {tool, probe, bundle, contents})
        setFileTimes(p, now - 10 * kDay, now - 20 * kDay);
    {
        const int fd = ::open(probe.constData(), O_RDONLY);
        char c;
        ASSERT_EQ(::read(fd, &c, 1), 1);
        ::close(fd);
    }
    if (accessed(probe) == now - 10 * kDay)
        GTEST_SKIP() << "this file system does not record reads (noatime)";

    const qint64 before = now - 10 * kDay;
    EXPECT_TRUE(Duplicates::hash(tool, std::nullopt).has_value());
    EXPECT_EQ(accessed(tool), before) << "hashing";
    EXPECT_GT(Scanner::folderSize(bundle), 0);
    EXPECT_EQ(accessed(bundle), before) << "sizing a bundle";
    EXPECT_EQ(accessed(contents), before) << "sizing a bundle's insides";
    AppImage::dirIcon(tool);
    EXPECT_EQ(accessed(tool), before) << "looking for the icon";
    QFile file;
    ASSERT_TRUE(NoAtime::openForReading(file, tool));
    EXPECT_EQ(file.readAll().size(), 64 + 4096);
    file.close();
    EXPECT_EQ(accessed(tool), before) << "the shared open";
}

TEST(AppImages, TheIconIsTheImagesDirIcon)
{
    const QByteArray png = QByteArray("\x89PNG\r\n\x1a\n", 8) + QByteArray(300, 'i');
    struct Case
    {
        const char *what;
        QList<std::pair<QByteArray, QByteArray>> files;
        QByteArray icon;
    };
    const Case cases[] = {
        {"a file", {{".DirIcon", png}, {"AppRun", "#!/bin/sh\n"}}, png},
        {"a link to the root", {{"tool.png", png}, {".DirIcon -> tool.png", {}}}, png},
        {"a link into a folder", {{"usr/share/icons/tool.png", png}, {".DirIcon -> usr/share/icons/tool.png", {}}},
         png},
        {"a link twice over", {{"usr/tool.png", png}, {"tool.png -> usr/tool.png", {}}, {".DirIcon -> tool.png", {}}},
         png},
        {"none", {{"AppRun", "#!/bin/sh\n"}}, {}},
        {"a dangling link", {{".DirIcon -> missing.png", {}}, {"AppRun", "#!/bin/sh\n"}}, {}},
    };
    for (const Case &c : cases) {
        TempTree t;
        const QByteArray image = squashfs(t, c.files);
        if (image.isEmpty() || QStandardPaths::findExecutable(QStringLiteral("unsquashfs")).isEmpty())
            GTEST_SKIP() << "squashfs-tools is not installed";
        const QByteArray path = t.file("Tool.AppImage", appImageBytes(image));
        EXPECT_EQ(AppImage::dirIcon(path), c.icon) << c.what;
    }
}

TEST(AppImages, OnlyTypeTwoImagesAreRead)
{
    TempTree t;
    QByteArray plainElf = appImageBytes(QByteArray(100, 's'));
    plainElf[8] = 0;
    const QByteArray noSquashfs = appImageBytes("not a file system");
    struct Case
    {
        const char *what;
        QByteArray bytes;
        std::optional<qint64> offset;
    };
    const Case cases[] = {
        {"an AppImage", appImageBytes("hsqs" + QByteArray(100, 's')), 64},
        {"an ELF program", plainElf, std::nullopt},
        {"no squashfs after the header", noSquashfs, std::nullopt},
        {"a text file", "#!/bin/sh\necho hello\n", std::nullopt},
        {"empty", {}, std::nullopt},
    };
    for (const Case &c : cases) {
        const QByteArray path = t.file(QByteArray(c.what).replace(' ', '-') + ".AppImage", c.bytes);
        const int fd = ::open(path.constData(), O_RDONLY);
        EXPECT_EQ(AppImage::squashfsOffset(fd), c.offset) << c.what;
        ::close(fd);
        EXPECT_TRUE(AppImage::dirIcon(path).isEmpty()) << c.what;
    }
}
