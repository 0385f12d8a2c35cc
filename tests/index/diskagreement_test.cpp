#include "disk/diskrules.h"
#include "filerecords.h"
#include "library/scanner.h"
#include "patternmatcher.h"
#include "search/textfold.h"
#include "tempdir.h"

#include <QFile>

#include <gtest/gtest.h>

namespace {

// The content type the wide search asks for when the catalog's search names a kind.
QString wideType(Kind kind)
{
    switch (kind) {
    case Kind::image: return QStringLiteral("public.image");
    case Kind::video: return QStringLiteral("public.movie");
    case Kind::music: return QStringLiteral("public.audio");
    case Kind::app: return QStringLiteral("com.apple.application-bundle");
    default: return {};
    }
}

std::string folded(const std::string &utf8, int flags)
{
    return PatternMatcher::fold(utf8, flags);
}

} // namespace

// The catalog and the index read the same file the same way: whether it is
// one at all, its three dates, its kind and its screenshot mark.
TEST(DiskAgreement, CatalogAndIndexReadAFileAlike)
{
    TempTree t;
    const QByteArray made[] = {
        t.file("photo.JPG"),
        t.file("Screenshot from 2024-05-01.png"),
        t.file("screenshot notes.txt"),
        t.file("clip.mp4"),
        t.file("song.mp3"),
        t.file("Ünïcode Café.pdf"),
        t.file("backup.zip"),
        t.file("Tool.app/Contents/Info.plist"),
        t.file("Report.pages/index.xml"),
        t.file("Photos.photoslibrary/db"),
        t.file(".hidden.txt"),
    };
    t.setModified("clip.mp4", 1'600'000'000'000);
    t.setModified("photo.JPG", 1'500'000'123'000);
    const QByteArray checked[] = {made[0], made[1], made[2], made[3], made[4], made[5], made[6],
                                  t.path("Tool.app"), t.path("Report.pages"), t.path("Photos.photoslibrary")};
    int compared = 0;
    for (const QByteArray &path : checked) {
        SCOPED_TRACE(path.toStdString());
        const std::optional<FileItem> item = Scanner::item(path);
        const std::optional<IndexRecord> row = FileRecords::read(path);
        ASSERT_EQ(item.has_value(), row.has_value());
        if (!item)
            continue;
        ++compared;
        EXPECT_EQ(item->modified(), row->modified);
        EXPECT_EQ(std::optional<qint64>(item->created()), row->created);
        EXPECT_EQ(std::optional<qint64>(item->added()), row->added);
        EXPECT_EQ(item->isScreenshot(), row->screenCapture);
        const QString type = wideType(item->kind());
        const QStringList types = row->contentTypes.split(u'\n');
        if (!type.isEmpty()) {
            EXPECT_TRUE(types.contains(type)) << row->contentTypes.toStdString();
        }
        for (const Kind other : Kinds::all) {
            if (other != item->kind() && !wideType(other).isEmpty()) {
                EXPECT_FALSE(types.contains(wideType(other)));
            }
        }
    }
    EXPECT_EQ(compared, 9); // every one but the photo library
}

// Folders the catalog never enters are never entered by the index either.
TEST(DiskAgreement, SkippedFoldersAreSkippedByBoth)
{
    for (const char *name : {"node_modules", "venv", ".venv", "__pycache__", "Pods", "DerivedData", "site-packages",
                             ".git", "Projects", "Node_Modules"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(DiskRules::entersFolder(name), FileRecords::classify(name, true) == FileRecords::Entry::folder);
    }
}

// A name typed in the catalog's search and the same text in the wide
// search's patterns fold to the same bytes, in every mode.
TEST(DiskAgreement, CatalogAndIndexFoldAlike)
{
    const QString names[] = {QStringLiteral("Ünïcode Café"), QStringLiteral("ØRESUND Łódź"), QStringLiteral("Straße"),
                             QStringLiteral("ΣΊΣΥΦΟΣ"), QStringLiteral("e\u0301te\u0301"), QStringLiteral("plain ASCII"),
                             QStringLiteral("日本語のファイル"), QStringLiteral("emoji 😀 Ä")};
    for (const QString &name : names) {
        SCOPED_TRACE(name.toStdString());
        const QByteArray utf8 = name.toUtf8();
        const std::string raw(utf8.constData(), size_t(utf8.size()));
        EXPECT_EQ(TextFold::utf8(name), folded(raw, PatternMatcher::caseless | PatternMatcher::diacriticless));
        std::string fromNative;
        TextFold::appendName(QFile::encodeName(name), fromNative);
        EXPECT_EQ(fromNative, TextFold::utf8(name));
    }
    struct Case
    {
        QString text;
        int flags;
        QString expected;
    };
    const Case cases[] = {
        {QStringLiteral("Café ÉTÉ"), PatternMatcher::caseless, QStringLiteral("cafe\u0301 e\u0301te\u0301")},
        {QStringLiteral("Café ÉTÉ"), PatternMatcher::diacriticless, QStringLiteral("Cafe ETE")},
        {QStringLiteral("Øre Łódź"), PatternMatcher::diacriticless, QStringLiteral("Ore Lodz")},
        {QStringLiteral("Øre Łódź"), PatternMatcher::caseless, QStringLiteral("øre ło\u0301dz\u0301")},
        {QStringLiteral("Café"), 0, QStringLiteral("Café")},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        const QByteArray utf8 = c.text.toUtf8();
        const QByteArray expected = c.expected.toUtf8();
        EXPECT_EQ(folded(std::string(utf8.constData(), size_t(utf8.size())), c.flags),
                  std::string(expected.constData(), size_t(expected.size())));
    }
}
