// The frame style's rules: destructive menu entries and thin scroll bars without arrows.
#include "theme/framestyle.h"

#include <QAction>
#include <QMenu>
#include <QScrollBar>
#include <QStyleOptionSlider>

#include <gtest/gtest.h>

namespace {

QStyleOptionSlider bar(int length, int minimum, int maximum, int page, int value)
{
    QStyleOptionSlider option;
    option.orientation = Qt::Vertical;
    option.rect = QRect(0, 0, FrameStyle::kScrollBarExtent, length);
    option.minimum = minimum;
    option.maximum = maximum;
    option.pageStep = page;
    option.sliderPosition = value;
    option.sliderValue = value;
    return option;
}

TEST(FrameStyle, ScrollBarsHaveNoArrowsAndAThumbInProportion)
{
    FrameStyle style;
    const struct
    {
        const char *what;
        int length, minimum, maximum, page, value;
        QRect thumb;
    } cases[] = {
        {"half the content shown, at the top", 400, 0, 100, 100, 0, QRect(0, 0, 10, 200)},
        {"half shown, at the end", 400, 0, 100, 100, 100, QRect(0, 200, 10, 200)},
        {"a long list keeps a thumb that can be grabbed", 400, 0, 100000, 10, 50000, QRect(0, 186, 10, 28)},
        {"everything shown", 400, 0, 0, 100, 0, QRect(0, 0, 10, 400)},
    };
    for (const auto &c : cases) {
        const QStyleOptionSlider option = bar(c.length, c.minimum, c.maximum, c.page, c.value);
        EXPECT_EQ(style.subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSlider), c.thumb) << c.what;
        EXPECT_TRUE(style.subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarAddLine).isEmpty())
            << c.what;
        EXPECT_TRUE(style.subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSubLine).isEmpty())
            << c.what;
        // A click beside the thumb pages, all along the bar.
        const QRect before = style.subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSubPage);
        const QRect after = style.subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarAddPage);
        EXPECT_EQ(before.height() + c.thumb.height() + after.height(), c.length) << c.what;
    }
    EXPECT_EQ(style.pixelMetric(QStyle::PM_ScrollBarExtent), FrameStyle::kScrollBarExtent);
}

TEST(FrameStyle, DestructiveEntriesAreFoundWhereTheyAreDrawn)
{
    FrameStyle style;
    QMenu menu;
    menu.setStyle(&style);
    menu.addAction(QStringLiteral("Open"));
    menu.addSeparator();
    QAction *trash = menu.addAction(QStringLiteral("Move to Trash"));
    trash->setProperty("destructive", true);
    menu.adjustSize();
    menu.show();
    const QRect openRect = menu.actionGeometry(menu.actions().first());
    const QRect trashRect = menu.actionGeometry(trash);
    EXPECT_FALSE(FrameStyle::isDestructive(&menu, openRect));
    EXPECT_TRUE(FrameStyle::isDestructive(&menu, trashRect));
    EXPECT_FALSE(FrameStyle::isDestructive(nullptr, trashRect));
    menu.hide();
}

} // namespace
