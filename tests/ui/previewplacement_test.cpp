// Where the preview panel opens, how it writes dates, and thumbnails that
// leave standard error alone.
#include "files/previewpanel.h"
#include "files/thumbmaker.h"
#include "files/thumbs.h"
#include "shell/inspectordetails.h"
#include "tempdir.h"

#include <QDateTime>
#include <QFile>
#include <QTimeZone>

#include <functional>

#include <gtest/gtest.h>

namespace {

TEST(PreviewPlacement, OpensOverTheWindowAndStaysOnTheScreen)
{
    const QRect screen(0, 0, 1920, 1000);
    const QSize wanted(760, 620);
    const struct
    {
        const char *what;
        QRect window;
        QRect screen;
        QRect placed;
    } cases[] = {
        {"centred over the window", QRect(200, 100, 1220, 800), screen, QRect(430, 190, 760, 620)},
        {"no window: centred on the screen", QRect(), screen, QRect(580, 190, 760, 620)},
        {"window at the left edge: pulled in", QRect(-600, 0, 700, 500), screen, QRect(24, 24, 760, 620)},
        {"window low on the screen: bottom kept on it", QRect(100, 700, 800, 600), screen, QRect(120, 356, 760, 620)},
        {"short screen: made smaller", QRect(0, 0, 1280, 600), QRect(0, 0, 1280, 600), QRect(260, 24, 760, 552)},
        {"second screen to the right", QRect(2100, 100, 1000, 800), QRect(1920, 0, 1920, 1080),
         QRect(2220, 190, 760, 620)},
    };
    for (const auto &c : cases) {
        const QRect placed = PreviewPanel::placement(c.window, wanted, c.screen);
        EXPECT_EQ(placed, c.placed) << c.what;
        EXPECT_TRUE(c.screen.contains(placed)) << c.what;
    }
}

TEST(PreviewPlacement, DatesReadAsTheInspectorWritesThem)
{
    const QDateTime when(QDate(2026, 12, 8), QTime(12, 14, 10), QTimeZone::systemTimeZone());
    const QString text = PreviewPanel::dateText(when);
    EXPECT_EQ(text, InspectorDetails::date(when.toMSecsSinceEpoch(), QLocale(), QTimeZone::systemTimeZone()));
    // Minutes, not seconds, and no numeric month first.
    EXPECT_FALSE(text.contains(QStringLiteral("12:14:10"))) << text.toStdString();
    EXPECT_TRUE(PreviewPanel::dateText(QDateTime()).isEmpty());
}

QStringList g_warnings;

void collect(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type != QtDebugMsg && type != QtInfoMsg)
        g_warnings.append(message);
}

// A gzip-compressed file is no picture, but Qt's SVG reader claims every
// ".gz" name as a compressed drawing and warns on standard error when it is
// not one: thumbnails of archives did that at every launch.
TEST(Thumbnails, ArchivesAreNotReadAsPictures)
{
    TempTree tree;
    // A small tar member, gzip-compressed (gzip -9n).
    const QByteArray gzip = QByteArray::fromHex(
        "1f8b08000000000002034b2c4acec82c4bd52ba928613030333161c8cb2f51485428c84c2e292d4ad501324b128b1472537393528bb8"
        "0080d712f52d000000");
    const auto warnings = [](const std::function<void()> &run) {
        g_warnings.clear();
        const QtMessageHandler previous = qInstallMessageHandler(collect);
        run();
        qInstallMessageHandler(previous);
        return g_warnings.filter(QStringLiteral("gzip"));
    };
    for (const char *name : {"backup.tar.gz", "notes.gz", "data"}) {
        const QString path = QFile::decodeName(tree.path(name));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(gzip);
        file.close();
        if (QByteArray(name).endsWith(".gz")) {
            // The premise: handed to the picture reader, such a file makes Qt warn.
            EXPECT_FALSE(warnings([&] { ThumbMaker::image(path, 64); }).isEmpty()) << name;
        }
        QImage image;
        EXPECT_TRUE(warnings([&] { image = Thumbs::drawn(tree.path(name), 64); }).isEmpty()) << name;
        EXPECT_TRUE(image.isNull()) << name;
    }
}

} // namespace
