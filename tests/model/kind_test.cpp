#include "model/kind.h"

#include <gtest/gtest.h>

#include <QSet>

TEST(Kind, ExtensionTable)
{
    const struct
    {
        const char16_t *ext;
        Kind kind;
    } cases[] = {
        {u"jpg", Kind::image},      {u"jpeg", Kind::image},   {u"JPG", Kind::other},
        {u"", Kind::other},         {u"pages", Kind::document}, {u"numbers", Kind::document},
        {u"key", Kind::document},   {u"rtfd", Kind::document}, {u"dmg", Kind::archive},
        {u"pkg", Kind::archive},    {u"ts", Kind::video},      {u"gz", Kind::archive},
        {u"app", Kind::app},        {u"caf", Kind::music},     {u"jxl", Kind::image},
        {u"makefile", Kind::other}, {u"deb", Kind::archive},  {u"rpm", Kind::archive},
        {u"appimage", Kind::app},   {u"AppImage", Kind::other},
    };
    for (const auto &c : cases)
        EXPECT_EQ(Kinds::of(QStringView(c.ext)), c.kind) << QString::fromUtf16(c.ext).toStdString();
}

TEST(Kind, ExtensionsOfEachKind)
{
    QStringList apps = Kinds::extensions(Kind::app);
    apps.sort();
    EXPECT_EQ(apps, (QStringList{"app", "appimage"}));
    EXPECT_TRUE(Kinds::extensions(Kind::other).isEmpty());
    const int expected[] = {21, 12, 13, 19, 14, 2, 0};
    QSet<QString> all;
    for (Kind kind : Kinds::all) {
        const QStringList exts = Kinds::extensions(kind);
        EXPECT_EQ(exts.size(), expected[int(kind)]) << Kinds::rawValue(kind).toStdString();
        for (const QString &e : exts)
            EXPECT_EQ(Kinds::of(e), kind);
        all.unite(QSet<QString>(exts.begin(), exts.end()));
    }
    EXPECT_EQ(all.size(), 81);
}

TEST(Kind, RawValuesTitlesAndShelves)
{
    EXPECT_EQ(Kinds::fromRawValue(u"image"), Kind::image);
    EXPECT_EQ(Kinds::fromRawValue(u"Image"), std::nullopt);
    EXPECT_EQ(Kinds::fromRawValue(u""), std::nullopt);
    for (Kind kind : Kinds::all)
        EXPECT_EQ(Kinds::fromRawValue(Kinds::rawValue(kind)), kind);
    EXPECT_EQ(Kinds::title(Kind::document), "Documents");
    EXPECT_EQ(Kinds::symbol(Kind::app), "square.grid.2x2");
    EXPECT_EQ(Kinds::shelves.size(), 6u);
    EXPECT_EQ(std::count(Kinds::shelves.begin(), Kinds::shelves.end(), Kind::other), 0);
}
