// The thumbnail queue: what waits, what a view drops, and what is never read.
#include "files/thumbs.h"

#include "tempdir.h"

#include <QFile>
#include <QImage>
#include <QSet>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

QByteArray picture(TempTree &tree, const char *name, QColor color)
{
    QImage image(30, 20, QImage::Format_RGB32);
    image.fill(color);
    const QByteArray path = tree.path(name);
    image.save(QFile::decodeName(path));
    return path;
}

} // namespace

TEST(ThumbQueue, RetainDropsTheOwnersWaitingRequestsAndTheRestComeNewestFirst)
{
    TempTree tree;
    const QByteArray a = picture(tree, "a.png", Qt::red);
    const QByteArray b = picture(tree, "b.png", Qt::green);
    const QByteArray c = picture(tree, "c.png", Qt::blue);
    const QByteArray d = picture(tree, "d.png", Qt::yellow);
    const QByteArray e = picture(tree, "e.png", Qt::cyan);
    QObject view;
    QObject otherView;
    Thumbs thumbs(nullptr, 1);
    QStringList loaded;
    QObject::connect(&thumbs, &Thumbs::loaded, [&](const QString &key) { loaded.append(key); });

    // Nothing starts before the event loop runs again, so all of these wait.
    thumbs.request(a, 64, &view);
    thumbs.request(b, 64, &view);
    thumbs.request(c, 64, &view);
    thumbs.request(d, 64, &otherView);
    thumbs.request(e, 64);
    thumbs.request(c, 64); // asked again by someone else: no longer the view's alone
    EXPECT_EQ(thumbs.waiting(), 5);

    thumbs.retain(&view, {b});
    EXPECT_EQ(thumbs.waiting(), 4); // a went; b is kept, c is shared, d and e are not the view's

    ASSERT_TRUE(waitUntil([&] { return loaded.size() == 4; }));
    EXPECT_FALSE(thumbs.contains(a, 64));
    for (const QByteArray &path : {b, c, d, e})
        EXPECT_TRUE(thumbs.contains(path, 64)) << path.constData();
    // The newest request is made first: what a view asked for last is in view.
    EXPECT_EQ(loaded, (QStringList{Thumbs::key(e, 64), Thumbs::key(d, 64), Thumbs::key(c, 64),
                                   Thumbs::key(b, 64)}));
    EXPECT_EQ(thumbs.waiting(), 0);

    // A dropped file is asked again the next time it is requested.
    thumbs.request(a, 64, &view);
    ASSERT_TRUE(waitUntil([&] { return thumbs.contains(a, 64); }));
    EXPECT_EQ(thumbs.cached(a, 64).pixelColor(2, 2), QColor(Qt::red));
}

TEST(ThumbQueue, FilesWithoutAPictureShareTheirTypesIcon)
{
    TempTree tree;
    const QByteArray one = tree.file("one.txt", "first\n");
    const QByteArray two = tree.file("two.txt", "second\n");
    Thumbs thumbs;
    thumbs.request(one, 64);
    thumbs.request(two, 64);
    ASSERT_TRUE(waitUntil([&] { return thumbs.contains(one, 64) && thumbs.contains(two, 64); }));
    const QImage first = thumbs.cached(one, 64);
    const QImage second = thumbs.cached(two, 64);
    ASSERT_FALSE(first.isNull());
    // Drawn once for the type: the two entries hold the same pixels, not copies.
    EXPECT_EQ(first.constBits(), second.constBits());
    EXPECT_EQ(Thumbs::iconFor(one, 64).constBits(), first.constBits());
}

TEST(ThumbQueue, APipeNamedLikeAPictureIsNotReadAndHoldsNoWorker)
{
    TempTree tree;
    const QByteArray pipe = tree.path("waiting.png");
    ASSERT_EQ(mkfifo(pipe.constData(), 0600), 0);
    // Opening it for reading would wait for a writer that never comes.
    EXPECT_TRUE(Thumbs::drawn(pipe, 64).isNull());

    Thumbs thumbs;
    QStringList loaded;
    QObject::connect(&thumbs, &Thumbs::loaded, [&](const QString &key) { loaded.append(key); });
    thumbs.request(pipe, 64);
    ASSERT_TRUE(waitUntil([&] { return loaded.size() == 1; }));
    thumbs.waitForDone();
}
