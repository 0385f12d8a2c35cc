// Where the preview panel opens, and how it writes dates.
#include "files/previewpanel.h"
#include "shell/inspectordetails.h"

#include <QDateTime>
#include <QTimeZone>

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

} // namespace
