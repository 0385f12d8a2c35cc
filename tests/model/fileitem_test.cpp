#include "model/fileitem.h"

#include <gtest/gtest.h>

namespace {

FileItem make(const QByteArray &path, Kind kind, qint64 size = 0)
{
    FileItem::Fields f;
    f.path = path;
    f.kind = kind;
    f.size = size;
    f.ext = lowerExtension(QString::fromUtf8(path.mid(path.lastIndexOf('/') + 1)));
    return FileItem(f);
}

} // namespace

TEST(FileItem, IdentityAndEquality)
{
    const FileItem a = make("/h/a.pdf", Kind::document, 10);
    const FileItem b = make("/h/a.pdf", Kind::document, 11);
    EXPECT_NE(a, b);
    EXPECT_EQ(qHash(a), qHash(b));
    FileItem c = a;
    EXPECT_EQ(a, c);
    c.setSize(99); // copies are values: changing one leaves the other alone
    EXPECT_EQ(a.size(), 10);
    EXPECT_EQ(c.size(), 99);
}

TEST(FileItem, NamesAndDisplayNames)
{
    EXPECT_EQ(make("/A/Calculator.app", Kind::app).displayName(), "Calculator");
    EXPECT_EQ(make("/A/archive.app.zip", Kind::archive).displayName(), "archive.app.zip");
    const FileItem item = make("/h/Report.PDF", Kind::document);
    EXPECT_EQ(item.name(), "Report.PDF");
    EXPECT_EQ(item.ext(), "pdf");
    EXPECT_FALSE(item.source().has_value());
    EXPECT_FALSE(item.lastUsed().has_value());
}

TEST(FileItem, ActivityIsTheLaterOfModifiedAndAdded)
{
    FileItem::Fields f;
    f.path = "/x";
    f.modified = 100;
    f.added = 200;
    EXPECT_EQ(FileItem(f).activity(), 200);
    f.modified = 300;
    EXPECT_EQ(FileItem(f).activity(), 300);
}

TEST(FileItem, PathExtension)
{
    const std::pair<const char *, const char *> cases[] = {
        {"archive.tar.gz", "gz"}, {"photo.JPG", "jpg"}, {"Makefile", ""},
        {".hidden", ""},          {"trailing.", ""},    {"a.b.C", "c"},
    };
    for (const auto &[name, ext] : cases)
        EXPECT_EQ(lowerExtension(QString::fromUtf8(name)), ext) << name;
}
