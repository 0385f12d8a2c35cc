#include "analysis/ocrindex.h"
#include "realscreenshots.h"
#include "tempdir.h"

#include <gtest/gtest.h>

TEST(RealScreenshots, TextIsReadOnEveryThemeIncludingReverseVideoAndDarkGrey)
{
    if (!RealScreenshots::available())
        GTEST_SKIP() << "needs Xvfb, xterm, xmessage and ImageMagick's import";
    TempTree tree;
    // Shots the plain grey, one-threshold reading lost: a dark grey of 38
    // behind the text, reverse video, light and dark windows on one dark
    // desktop, coloured words, yellow on navy and a dark dialog.
    const QStringList names = {"grey38-outline", "reverse-video-9x15", "light-and-dark",
                               "coloured-words", "navy-yellow", "dialog-dark"};
    const std::vector<RealScreenshots::Shot> shots = RealScreenshots::make(tree.path(), names);
    ASSERT_EQ(int(shots.size()), int(names.size()));
    for (const RealScreenshots::Shot &shot : shots) {
        const OCRIndex::Look seen = OCRIndex::look(shot.path, true);
        EXPECT_TRUE(seen.readable) << qPrintable(shot.name);
        EXPECT_GE(RealScreenshots::recall(shot.words, seen.text), 0.9)
            << qPrintable(shot.name) << ": " << qPrintable(seen.text);
    }
}
