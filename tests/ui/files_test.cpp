// File actions, thumbnails and the preview panel.
#include "files/fileinteractions.h"
#include "files/files.h"
#include "files/previewpanel.h"
#include "files/quicklook.h"
#include "files/thumbs.h"

#include "state/appstate.h"
#include "tempdir.h"

#include <QAction>
#include <QClipboard>
#include <QCryptographicHash>
#include <QGuiApplication>
#include <QImageWriter>
#include <QMenu>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QMimeData>
#include <QTest>
#include <QUrl>

#include <gtest/gtest.h>

#include <memory>

namespace {

FileItem fileAt(const QByteArray &path, Kind kind, std::optional<QString> source = std::nullopt)
{
    FileItem::Fields f;
    f.path = path;
    f.ext = lowerExtension(QFile::decodeName(path));
    f.kind = kind;
    f.size = 1000;
    f.source = source;
    return FileItem(f);
}

QStringList texts(const QList<FileInteractions::Entry> &entries)
{
    QStringList out;
    for (const FileInteractions::Entry &entry : entries)
        out.append(entry.action ? entry.text : QStringLiteral("—"));
    return out;
}

QImage solid(QColor color, int side = 40)
{
    QImage image(side, side, QImage::Format_RGB32);
    image.fill(color);
    return image;
}

} // namespace

// --- Context menu -------------------------------------------------------

TEST(FileMenu, ItemsForOneAndSeveralTargets)
{
    const FileItem doc = fileAt("/h/report.pdf", Kind::document);
    const FileItem pic = fileAt("/h/cat.jpg", Kind::image, QStringLiteral("example.com"));
    const FileItem song = fileAt("/h/song.mp3", Kind::music);

    struct Case
    {
        const char *name;
        FileItem item;
        QList<FileItem> targets;
        QStringList expected;
    };
    const QList<Case> cases = {
        {"one document", doc, {doc},
         {"Quick Look", "Open", "Show in Folder", "—", "Copy", "Copy Path", "—", "Move to Trash"}},
        {"one downloaded picture", pic, {pic},
         {"Quick Look", "Open", "Show in Folder", "—", "Copy", "Copy Path", "Copy Text in Image",
          "More from example.com", "—", "Move to Trash"}},
        // The source line follows the clicked file, the image line any target.
        {"three with one image", doc, {doc, pic, song},
         {"Quick Look", "Open", "Show in Folder", "—", "Copy", "Copy Path", "Copy Text in Image", "—",
          "Move 3 Items to Trash"}},
        {"two without images", song, {doc, song},
         {"Quick Look", "Open", "Show in Folder", "—", "Copy", "Copy Path", "—", "Move 2 Items to Trash"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const QList<FileInteractions::Entry> entries = FileInteractions::entries(c.item, c.targets);
        EXPECT_EQ(texts(entries), c.expected);
        EXPECT_TRUE(entries.last().destructive);
    }
}

TEST(FileMenu, TargetsComeFromTheSelectionWhenTheMenuOpens)
{
    AppState state;
    const QList<FileItem> files = {fileAt("/h/a.txt", Kind::document), fileAt("/h/b.jpg", Kind::image),
                                   fileAt("/h/c.txt", Kind::document), fileAt("/h/d.txt", Kind::document)};
    state.setVisible(files);
    state.setSelection({files[0].path(), files[1].path(), files[2].path()});

    std::unique_ptr<QMenu> inside(FileInteractions::menu(files[2], state, nullptr));
    QStringList shown;
    for (QAction *action : inside->actions())
        shown.append(action->isSeparator() ? QStringLiteral("—") : action->text());
    EXPECT_EQ(shown.last(), QStringLiteral("Move 3 Items to Trash"));
    EXPECT_TRUE(shown.contains(QStringLiteral("Copy Text in Image")));

    std::unique_ptr<QMenu> outside(FileInteractions::menu(files[3], state, nullptr));
    EXPECT_EQ(outside->actions().last()->text(), QStringLiteral("Move to Trash"));
    for (QAction *action : outside->actions())
        EXPECT_NE(action->text(), QStringLiteral("Copy Text in Image"));
}

TEST(FileMenu, QuickLookListIsTheVisibleFiles)
{
    const QList<FileItem> files = {fileAt("/h/a.txt", Kind::document), fileAt("/h/b.txt", Kind::document)};
    const auto [paths, index] = FileInteractions::previewList(files[1], files);
    EXPECT_EQ(paths, (QList<QByteArray>{"/h/a.txt", "/h/b.txt"}));
    EXPECT_EQ(index, 1);
    const FileItem stray = fileAt("/h/z.txt", Kind::document);
    EXPECT_EQ(FileInteractions::previewList(stray, files).second, 0);
    EXPECT_EQ(FileInteractions::previewList(stray, {}).first, QList<QByteArray>{"/h/z.txt"});
}

// --- Clipboard payloads and messages ---------------------------------------

TEST(FilesClipboard, FilesTravelAsUriListAndGnomeCopiedFiles)
{
    // A name that is not UTF-8 must reach the file manager byte for byte.
    const QList<FileItem> items = {fileAt("/h/My File.txt", Kind::document),
                                   fileAt(QByteArray("/h/caf\xe9.txt"), Kind::document)};
    std::unique_ptr<QMimeData> data(Files::mimeData(items));
    ASSERT_EQ(data->urls().size(), 2);
    EXPECT_EQ(data->urls()[0].toLocalFile(), QStringLiteral("/h/My File.txt"));
    EXPECT_EQ(data->urls()[1].toEncoded(), QByteArray("file:///h/caf%E9.txt"));
    EXPECT_TRUE(data->data(QStringLiteral("text/uri-list")).contains("file:///h/caf%E9.txt"));
    const QByteArray gnome = data->data(QStringLiteral("x-special/gnome-copied-files"));
    EXPECT_EQ(gnome.split('\n').first(), QByteArray("copy"));
    EXPECT_EQ(gnome.split('\n').value(1), QByteArray("file:///h/My%20File.txt"));
    EXPECT_EQ(Files::pathsText(items.mid(0, 1)), QStringLiteral("/h/My File.txt"));
}

TEST(FilesClipboard, CopyPathPutsOnePathPerLine)
{
    Files::copyPath({fileAt("/h/a.txt", Kind::document), fileAt("/h/b c.txt", Kind::document)});
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("/h/a.txt\n/h/b c.txt"));
}

TEST(FilesClipboard, CopyTextMessages)
{
    EXPECT_EQ(Files::copiedMessage(1), QStringLiteral("Copied text from 1 image"));
    EXPECT_EQ(Files::copiedMessage(3), QStringLiteral("Copied text from 3 images"));
    EXPECT_EQ(Files::notFoundMessage(1), QStringLiteral("No text found in that image"));
    EXPECT_EQ(Files::notFoundMessage(2), QStringLiteral("No text found in those images"));
}

// --- Thumbnails -------------------------------------------------------------

TEST(Thumbs, KeyIsTheTruncatedSizeAndThePath)
{
    EXPECT_EQ(Thumbs::key("/home/ana/Pictures/cat.jpg", 220), QStringLiteral("220|/home/ana/Pictures/cat.jpg"));
    EXPECT_EQ(Thumbs::key("/a b/c.png", 64.9), QStringLiteral("64|/a b/c.png"));
}

TEST(Thumbs, TwoSizesOfOneFileAreTwoEntries)
{
    TempTree tree;
    const QByteArray path = tree.path("red.png");
    ASSERT_TRUE(solid(Qt::red, 600).save(QFile::decodeName(path)));
    Thumbs thumbs;
    QStringList loaded;
    QObject::connect(&thumbs, &Thumbs::loaded, [&](const QString &key) { loaded.append(key); });
    thumbs.request(path, 64);
    thumbs.request(path, 220);
    thumbs.request(path, 220); // already on its way: asked once
    ASSERT_TRUE(waitUntil([&] { return loaded.size() == 2; }));
    EXPECT_EQ(thumbs.count(), 2);
    const QImage small = thumbs.cached(path, 64);
    const QImage large = thumbs.cached(path, 220);
    // Decoded to the asked size, not kept at the file's 600 pixels.
    EXPECT_EQ(std::max(small.width(), small.height()), 64);
    EXPECT_EQ(std::max(large.width(), large.height()), 220);
    EXPECT_EQ(small.pixelColor(10, 10), QColor(Qt::red));
}

TEST(Thumbs, AppBundleIconPath)
{
    TempTree tree;
    const QString plist = QStringLiteral(
        "<?xml version=\"1.0\"?><plist><dict><key>CFBundleIconFile</key><string>AppIcon</string></dict></plist>");
    tree.file("Named.app/Contents/Info.plist", plist.toUtf8());
    tree.file("Named.app/Contents/Resources/Other.png", "x");
    ASSERT_TRUE(solid(Qt::green).save(QFile::decodeName(tree.path("Named.app/Contents/Resources/AppIcon.png"))));
    tree.file("Unnamed.app/Contents/Resources/Zeta.icns", "x");
    tree.file("Unnamed.app/Contents/Resources/Alpha.png", "x");
    tree.folder("Bare.app/Contents");

    struct Case
    {
        const char *bundle;
        std::optional<QByteArray> icon;
    };
    const QList<Case> cases = {
        {"Named.app", "Named.app/Contents/Resources/AppIcon.png"},
        {"Unnamed.app", "Unnamed.app/Contents/Resources/Alpha.png"},
        {"Bare.app", std::nullopt},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.bundle);
        const std::optional<QString> found = Thumbs::appIconPath(QFile::decodeName(tree.path(c.bundle)));
        if (c.icon)
            EXPECT_EQ(found, std::optional<QString>(QFile::decodeName(tree.path(*c.icon))));
        else
            EXPECT_FALSE(found.has_value());
    }
    // The bundle shows its own icon, drawn without any thumbnail reader.
    const QImage drawn = Thumbs::drawn(tree.path("Named.app"), 64);
    ASSERT_FALSE(drawn.isNull());
    EXPECT_EQ(drawn.pixelColor(5, 5), QColor(Qt::green));
}

TEST(Thumbs, FreshDesktopThumbnailIsUsedAndAStaleOneIsNot)
{
    TempTree tree;
    const QByteArray cache = tree.folder("cache");
    qputenv("XDG_CACHE_HOME", cache);
    const QByteArray path = tree.path("photo.png");
    ASSERT_TRUE(solid(Qt::blue, 300).save(QFile::decodeName(path)));
    const qint64 mtime = QFileInfo(QFile::decodeName(path)).lastModified().toSecsSinceEpoch();
    const QByteArray uri = QUrl::fromLocalFile(QFile::decodeName(path)).toEncoded();
    const QString name = QString::fromLatin1(QCryptographicHash::hash(uri, QCryptographicHash::Md5).toHex());
    QDir().mkpath(QFile::decodeName(cache) + QStringLiteral("/thumbnails/normal"));
    const QString entry = QFile::decodeName(cache) + QStringLiteral("/thumbnails/normal/") + name + ".png";

    struct Case
    {
        const char *name;
        qint64 recorded;
        QColor expected;
    };
    const QList<Case> cases = {{"fresh", mtime, Qt::yellow}, {"stale", mtime - 60, Qt::blue}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        QImage thumb = solid(Qt::yellow, 128);
        thumb.setText(QStringLiteral("Thumb::MTime"), QString::number(c.recorded));
        thumb.setText(QStringLiteral("Thumb::URI"), QString::fromLatin1(uri));
        ASSERT_TRUE(thumb.save(entry, "PNG"));
        const QImage made = Thumbs::make(path, 64);
        ASSERT_FALSE(made.isNull());
        EXPECT_EQ(made.pixelColor(3, 3), c.expected);
    }
    qunsetenv("XDG_CACHE_HOME");
}

TEST(Thumbs, OtherFilesGetTheirTypeIconAndMissingOnesNothing)
{
    TempTree tree;
    const QByteArray notes = tree.file("notes.txt", "plain words\n");
    EXPECT_FALSE(Thumbs::make(notes, 64).isNull());
    EXPECT_TRUE(Thumbs::make(tree.path("gone.jpg"), 64).isNull());
    // A picture that cannot be decoded falls back to the type icon too.
    const QByteArray broken = tree.file("broken.jpg", "not a jpeg");
    EXPECT_TRUE(Thumbs::drawn(broken, 64).isNull());
}

TEST(Thumbs, ExifOrientationIsApplied)
{
    TempTree tree;
    // A 40×20 picture marked "rotate 90°" shows 20 wide and 40 tall.
    QImage wide(40, 20, QImage::Format_RGB32);
    wide.fill(Qt::white);
    const QString file = QFile::decodeName(tree.path("turned.jpg"));
    QImageWriter writer(file, "jpeg");
    writer.setTransformation(QImageIOHandler::TransformationRotate90);
    ASSERT_TRUE(writer.write(wide));
    const QImage made = Thumbs::drawn(tree.path("turned.jpg"), 64);
    ASSERT_FALSE(made.isNull());
    EXPECT_LT(made.width(), made.height());
}

// --- Preview panel ------------------------------------------------------------

class QuickLookTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        for (const char *name : {"a.txt", "b.txt", "c.txt"})
            paths.append(tree.file(name, QByteArray("text of ") + name));
        for (const QByteArray &path : paths)
            files.append(fileAt(path, Kind::document));
        state.setVisible(files);
        state.setPreviewFollower(&look);
    }
    void TearDown() override { state.setPreviewFollower(nullptr); }

    TempTree tree;
    QList<QByteArray> paths;
    QList<FileItem> files;
    AppState state;
    QuickLook look{&state};
};

TEST_F(QuickLookTest, FollowAndCloseDoNothingWhileClosed)
{
    look.follow(paths, 2);
    look.close();
    EXPECT_EQ(look.panel(), nullptr); // not even made
    EXPECT_TRUE(look.paths().isEmpty());
    EXPECT_EQ(look.index(), 0);
    EXPECT_FALSE(look.currentPath().has_value());
}

TEST_F(QuickLookTest, ToggleOpensOnTheIndexAndClosesKeepingTheList)
{
    look.toggle(paths, 1);
    ASSERT_TRUE(look.isOpen());
    EXPECT_EQ(look.currentPath(), std::optional<QByteArray>(paths[1]));
    const QDateTime before = look.closedAt();

    look.toggle({paths[0]}, 0); // open: closes, the list stays
    EXPECT_FALSE(look.isOpen());
    EXPECT_EQ(look.paths(), paths);
    EXPECT_EQ(look.index(), 1);
    EXPECT_FALSE(look.currentPath().has_value());
    EXPECT_GT(look.closedAt(), before);
}

TEST_F(QuickLookTest, FollowWhileOpenShowsTheNewFile)
{
    look.toggle(paths, 0);
    look.follow(paths.mid(1), 1);
    EXPECT_EQ(look.paths(), paths.mid(1));
    EXPECT_EQ(look.currentPath(), std::optional<QByteArray>(paths[2]));
    look.close();
    EXPECT_FALSE(look.isOpen());
}

TEST_F(QuickLookTest, KeyboardMovementReachesTheOpenPanel)
{
    state.select(files[0], false, false);
    look.toggle(paths, 0);
    state.move(1);
    EXPECT_EQ(look.currentPath(), std::optional<QByteArray>(paths[1]));
}

TEST_F(QuickLookTest, PanelStepsMoveTheSelectionAndSpaceCloses)
{
    state.select(files[0], false, false);
    look.toggle(paths, 0);
    PreviewPanel *panel = look.panel();
    QTest::keyClick(panel, Qt::Key_Right);
    EXPECT_EQ(state.selection(), QSet<QByteArray>{paths[1]});
    EXPECT_EQ(state.anchor(), std::optional<QByteArray>(paths[1]));
    EXPECT_EQ(state.scrollTarget(), std::optional<QByteArray>(paths[1]));
    QTest::keyClick(panel, Qt::Key_Left);
    QTest::keyClick(panel, Qt::Key_Left); // already at the first: stays
    EXPECT_EQ(state.selection(), QSet<QByteArray>{paths[0]});
    QTest::keyClick(panel, Qt::Key_Space);
    EXPECT_FALSE(look.isOpen());
}

TEST_F(QuickLookTest, PanelShowsTheStartOfATextFile)
{
    look.toggle(paths, 2);
    ASSERT_TRUE(waitUntil([&] { return look.panel()->content() == PreviewPanel::Content::text; }));
}
