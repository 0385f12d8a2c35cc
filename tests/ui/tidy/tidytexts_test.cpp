// The pure texts of the clean-up, duplicates and sources pages, and the source accents.
#include "tidy/sourcetint.h"
#include "tidy/tidytexts.h"

#include "records.h"
#include "theme/theme.h"

#include <QLocale>

#include <gtest/gtest.h>

namespace {

class TidyTextsTest : public ::testing::Test
{
protected:
    void SetUp() override { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }
};

} // namespace

TEST(SourceTint, HashesUnicodeScalarsIntoAShelfAccent)
{
    struct Case
    {
        QString name;
        Kind kind;
    };
    const QList<Case> cases = {
        {QStringLiteral("Mail"), Kind::document}, // 31,191 mod 6 = 3
        {QStringLiteral("Slack"), Kind::image},
        {QString(), Kind::image}, // hash 0
        {QStringLiteral("github.com"), Kind::archive},  // 56,566
        {QStringLiteral("Google Drive"), Kind::video}, // 8,419
        // A scalar above the BMP counts once, not as its two UTF-16 halves
        // (which would give video): 0x1F600 mod 65,536 = 62,976.
        {QString::fromUcs4(U"\U0001F600", 1), Kind::image},
    };
    EXPECT_EQ(SourceTint::hash(u"Mail"), 31191u);
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name.toStdString());
        EXPECT_EQ(SourceTint::kind(c.name), c.kind);
        EXPECT_EQ(sourceTint(c.name), Theme::tint(c.kind));
    }
}

TEST_F(TidyTextsTest, ReviewBannerAndButtons)
{
    using TidyTexts::Review;
    struct Case
    {
        const char *what;
        qsizetype count, selected;
        qint64 bytes;
        qsizetype spared;
        Review expected;
    };
    const QList<Case> cases = {
        {"three unticked", 10, 7, 7 * 2048, 3,
         {"Free up 14 KB", "7 of 10 items selected", true, "Select All", "Trash Selected", true}},
        {"all ticked", 10, 10, 10 * 2048, 0,
         {"Free up 20 KB", "10 of 10 items selected", true, "Select None", "Trash All", true}},
        {"none ticked", 10, 0, 0, 10,
         {"Free up Zero KB", "0 of 10 items selected", true, "Select All", "Trash Selected", false}},
        {"one item", 1, 1, 5, 0, {"Free up 5 bytes", "1 of 1 item selected", true, "Select None", "Trash All", true}},
        // A spared file that has since left the card still offers Select All.
        {"stale spare", 2, 2, 4096, 1,
         {"Free up 4 KB", "2 of 2 items selected", true, "Select All", "Trash All", true}},
        {"grouped count", 1204, 3, 3, 1201,
         {"Free up 3 bytes", "3 of 1,204 items selected", true, "Select All", "Trash Selected", true}},
        {"empty card", 0, 0, 0, 4, {"All clear", "Nothing left on this card.", false, {}, {}, false}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(TidyTexts::review(c.count, c.selected, c.bytes, c.spared), c.expected);
    }
}

TEST_F(TidyTextsTest, DuplicatesBanner)
{
    using TidyTexts::DupBanner;
    struct Case
    {
        const char *what;
        bool scanning;
        qsizetype groups, extras;
        qint64 wasted;
        DupBanner expected;
    };
    const QList<Case> cases = {
        {"first search", true, 0, 0, 0,
         {"Comparing files…", "Only files of the same size are compared, so this is quick.", false}},
        {"later search keeps the old groups", true, 3, 5, 6144, {"Free up 6 KB", "5 extra copies in 3 groups", true}},
        {"one extra", false, 1, 1, 2048, {"Free up 2 KB", "1 extra copy in 1 group", true}},
        {"many", false, 1200, 1500, 3'100'000,
         {"Free up 3.1 MB", "1,500 extra copies in 1,200 groups", true}},
        {"none", false, 0, 0, 0, {"No duplicates", "Every file here is one of a kind.", false}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(TidyTexts::dupBanner(c.scanning, c.groups, c.extras, c.wasted), c.expected);
    }
}

TEST_F(TidyTextsTest, GroupTexts)
{
    const auto named = [](const QList<const char *> &names) {
        QList<FileItem> items;
        for (const char *name : names)
            items.append(FileItem(fieldsFor(QByteArray("/home/ana/Documents/") + name)));
        return items;
    };
    EXPECT_EQ(TidyTexts::groupName(named({"report copy.pdf", "report.pdf"})), u"report.pdf");
    EXPECT_EQ(TidyTexts::groupName(named({"b.txt", "a.txt", "long.txt"})), u"b.txt"); // first of the shortest
    EXPECT_EQ(TidyTexts::groupLine(3, 2048), u"3 identical copies · 2 KB can be freed");
    EXPECT_EQ(TidyTexts::keepTitle(3), u"Keep 1, Trash 2");
    EXPECT_EQ(TidyTexts::keepTitle(1500), u"Keep 1, Trash 1499");
}

TEST_F(TidyTextsTest, PageSubtitlesAndCounts)
{
    EXPECT_EQ(TidyTexts::cleanupSubtitle(0), u"Nothing worth clearing out right now");
    EXPECT_EQ(TidyTexts::cleanupSubtitle(2048), u"You could free up to 2 KB");
    EXPECT_EQ(TidyTexts::sourcesSubtitle(0, 0), u"0 downloaded files from 0 sources");
    EXPECT_EQ(TidyTexts::sourcesSubtitle(1, 1), u"1 downloaded file from 1 source");
    EXPECT_EQ(TidyTexts::sourcesSubtitle(1240, 37), u"1,240 downloaded files from 37 sources");
    EXPECT_EQ(TidyTexts::items(1), u"1 item");
    EXPECT_EQ(TidyTexts::items(1204), u"1,204 items");
    EXPECT_EQ(TidyTexts::sourceFiles(2, 4096), u"2 files · 4 KB");
}
