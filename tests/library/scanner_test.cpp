#include "library/scanner.h"
#include "tempdir.h"
#include "xattr.h"

#include <QDateTime>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace {

QList<QByteArray> relativePaths(const QList<FileItem> &items, const QByteArray &base)
{
    QList<QByteArray> out;
    for (const FileItem &item : items)
        out.append(item.path().mid(base.size() + 1));
    return out;
}

const FileItem *find(const QList<FileItem> &items, const QByteArray &path)
{
    for (const FileItem &item : items)
        if (item.path() == path)
            return &item;
    return nullptr;
}

} // namespace

TEST(Scanner, WhatBecomesARecord)
{
    TempTree t;
    t.file("Docs/notes");
    t.file("Docs/.hidden.txt");
    t.file("Docs/.secret/inside.txt");
    t.file("Docs/node_modules/lib.js");
    t.file("Docs/deep/er/node_modules/pkg.json");
    t.file("Docs/Node_Modules/kept.js");
    t.file("Docs/Photos Library.photoslibrary/db.sqlite");
    t.file("Docs/Budget.numbers/Index.zip", QByteArray(10000, 'n'));
    t.file("Docs/Budget.numbers/.meta", "m");
    t.file("Docs/Thing.bundle/Contents/x");
    t.file("Docs/Tool.app/Contents/bin");
    t.file("Docs/Screen Shot 2024-01-01.png");
    t.file("Docs/screenshot.pdf");
    t.file("Docs/Pics/Photo.JPG");
    ::symlink("notes", t.path("Docs/link-to-notes").constData());
    ::symlink(t.path("Docs/Pics").constData(), t.path("Docs/link-to-pics").constData());

    const QList<FileItem> items = Scanner::scan({t.path("Docs")}, {});
    EXPECT_EQ(relativePaths(items, t.path("Docs")),
              (QList<QByteArray>{"Budget.numbers", "Node_Modules/kept.js", "Pics/Photo.JPG",
                                 "Screen Shot 2024-01-01.png", "Tool.app", "notes", "screenshot.pdf"}));

    const FileItem *notes = find(items, t.path("Docs/notes"));
    ASSERT_TRUE(notes);
    EXPECT_EQ(notes->kind(), Kind::other);
    EXPECT_EQ(notes->ext(), "");

    const FileItem *budget = find(items, t.path("Docs/Budget.numbers"));
    ASSERT_TRUE(budget);
    EXPECT_EQ(budget->kind(), Kind::document);
    EXPECT_EQ(budget->size(), Scanner::folderSize(t.path("Docs/Budget.numbers")));
    EXPECT_GE(budget->size(), 10000); // allocated bytes, hidden contents included

    const FileItem *app = find(items, t.path("Docs/Tool.app"));
    ASSERT_TRUE(app);
    EXPECT_EQ(app->kind(), Kind::app);
    EXPECT_EQ(app->size(), 0); // measured later, off the scan

    EXPECT_TRUE(find(items, t.path("Docs/Screen Shot 2024-01-01.png"))->isScreenshot());
    EXPECT_FALSE(find(items, t.path("Docs/screenshot.pdf"))->isScreenshot());
    const FileItem *photo = find(items, t.path("Docs/Pics/Photo.JPG"));
    EXPECT_EQ(photo->kind(), Kind::image);
    EXPECT_EQ(photo->ext(), "jpg");
    EXPECT_FALSE(photo->isScreenshot());
}

TEST(Scanner, ApplicationFoldersAreReadTwoLevelsDeepForBundlesOnly)
{
    TempTree t;
    t.file("Apps/Paint.app/Contents/Info.plist");
    t.file("Apps/Utilities/Clock.app/Contents/Info.plist");
    t.file("Apps/Games/Arcade/Deep.app/Contents/Info.plist");
    t.file("Apps/readme.txt");
    t.file("Apps/Budget.numbers/x");
    const QList<FileItem> items = Scanner::scan({}, {t.path("Apps")});
    EXPECT_EQ(relativePaths(items, t.path("Apps")),
              (QList<QByteArray>{"Paint.app", "Utilities/Clock.app"}));
}

TEST(Scanner, OverlappingRootsGiveOneRecordFromTheFirstRoot)
{
    TempTree t;
    t.file("Docs/a.txt");
    t.file("Docs/Project/b.txt");
    t.file("Docs/Project/node_modules/c.js");
    // A pin inside Documents is read again, but keeps the records made for Documents;
    // a pinned folder the walk would skip still gets its files.
    const QList<FileItem> items = Scanner::scan(
        {t.path("Docs"), t.path("Docs/Project"), t.path("Docs/Project/node_modules"), t.path("Docs")}, {});
    EXPECT_EQ(relativePaths(items, t.path("Docs")),
              (QList<QByteArray>{"Project/b.txt", "a.txt", "Project/node_modules/c.js"}));
}

TEST(Scanner, MissingRootsAndUnreadableFoldersContributeNothing)
{
    TempTree t;
    t.file("Docs/ok.txt");
    t.file("Docs/locked/hidden-away.txt");
    ::chmod(t.path("Docs/locked").constData(), 0);
    const QList<FileItem> items = Scanner::scan({t.path("missing"), t.path("Docs")}, {});
    ::chmod(t.path("Docs/locked").constData(), 0755);
    // Root can read anything, so the locked folder only counts for other users.
    if (::geteuid() != 0) {
        EXPECT_EQ(relativePaths(items, t.path("Docs")), (QList<QByteArray>{"ok.txt"}));
    }
    EXPECT_TRUE(find(items, t.path("Docs/ok.txt")));
    EXPECT_EQ(Scanner::folderSize(t.path("missing")), 0);
    EXPECT_EQ(Scanner::folderSize(t.folder("empty")), 0);
}

TEST(Scanner, NamesThatAreNotUtf8KeepTheirExactBytes)
{
    TempTree t;
    const QByteArray raw = QByteArray("caf\xe9 menu.txt"); // Latin-1 byte, invalid UTF-8
    t.file("Docs/" + raw, "latin");
    const QList<FileItem> items = Scanner::scan({t.path("Docs")}, {});
    ASSERT_EQ(items.size(), 1);
    EXPECT_EQ(items.first().path(), t.path("Docs/" + raw));
    EXPECT_EQ(items.first().nameBytes(), raw);
    struct stat st;
    EXPECT_EQ(::stat(items.first().path().constData(), &st), 0); // the record reaches the file
    EXPECT_EQ(items.first().ext(), "txt");
}

TEST(Scanner, DatesAndDownloadSources)
{
    TempTree t;
    t.file("Down/invoice.pdf");
    t.file("Down/plain.txt");
    t.file("Down/foreign.zip");
    const qint64 longAgo = QDateTime(QDate(2020, 5, 1), QTime(12, 0), Qt::UTC).toMSecsSinceEpoch();
    t.setModified("Down/invoice.pdf", longAgo);
    try {
        t.setXattr("Down/invoice.pdf", Xattr::kOrigin,
                   "https://mail-attachment.googleusercontent.com/attachment/u/0/");
        t.setXattr("Down/invoice.pdf", Xattr::kReferrer, "https://mail.google.com/mail/u/0/");
        t.setXattr("Down/foreign.zip", Xattr::kForeignWhereFroms,
                   "<?xml version=\"1.0\"?><plist version=\"1.0\"><array>"
                   "<string>https://cdn.example.net/f.zip</string>"
                   "<string>https://github.com/o/r/releases</string></array></plist>");
    } catch (const std::runtime_error &e) {
        GTEST_SKIP() << e.what();
    }
    const QList<FileItem> items = Scanner::scan({t.path("Down")}, {});
    const FileItem *invoice = find(items, t.path("Down/invoice.pdf"));
    ASSERT_TRUE(invoice);
    EXPECT_EQ(invoice->source(), "Gmail");
    EXPECT_EQ(invoice->modified(), longAgo);
    // A copied file keeps its old modification date: creation is never later than it.
    EXPECT_EQ(invoice->created(), longAgo);
    EXPECT_GT(invoice->added(), longAgo); // the change time: when it landed here
    EXPECT_EQ(find(items, t.path("Down/foreign.zip"))->source(), "GitHub");
    EXPECT_FALSE(find(items, t.path("Down/plain.txt"))->source().has_value());
    EXPECT_FALSE(invoice->isCloudOnly());
}

TEST(Scanner, OneItemFollowsTheWalksRules)
{
    TempTree t;
    t.file("d/a.txt");
    t.file("d/Calc.app/x");
    t.file("d/Keynote.key/x");
    t.file("d/Lib.photoslibrary/x");
    t.folder("d/plain");
    ::symlink("a.txt", t.path("d/link").constData());
    EXPECT_EQ(Scanner::item(t.path("d/a.txt"))->kind(), Kind::document);
    EXPECT_EQ(Scanner::item(t.path("d/Calc.app"))->kind(), Kind::app);
    EXPECT_EQ(Scanner::item(t.path("d/Keynote.key"))->kind(), Kind::document);
    EXPECT_FALSE(Scanner::item(t.path("d/Lib.photoslibrary")));
    EXPECT_FALSE(Scanner::item(t.path("d/plain")));
    EXPECT_FALSE(Scanner::item(t.path("d/link")));
    EXPECT_FALSE(Scanner::item(t.path("d/missing")));
}

TEST(Scanner, EnumerationOrderIsDepthFirstByName)
{
    TempTree t;
    for (const char *p : {"r/b/2.txt", "r/b/1.txt", "r/a.txt", "r/c/x/y.txt", "r/c.txt", "r/b.txt"})
        t.file(p);
    const QList<FileItem> first = Scanner::scan({t.path("r")}, {});
    EXPECT_EQ(relativePaths(first, t.path("r")),
              (QList<QByteArray>{"a.txt", "b/1.txt", "b/2.txt", "b.txt", "c/x/y.txt", "c.txt"}));
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(Scanner::scan({t.path("r")}, {}), first);
}
