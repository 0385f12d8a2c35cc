#include "model/summary.h"

#include <gtest/gtest.h>
#include <QLocale>

namespace {

QList<FileItem> files(int count, qint64 eachSize, Kind kind = Kind::document)
{
    QList<FileItem> out;
    for (int i = 0; i < count; ++i) {
        FileItem::Fields f;
        f.path = "/home/u/f" + QByteArray::number(i) + ".pdf";
        f.ext = QStringLiteral("pdf");
        f.kind = kind;
        f.size = eachSize;
        out.append(FileItem(f));
    }
    return out;
}

} // namespace

TEST(Summary, CountNounAndTotal)
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    const struct
    {
        QList<FileItem> items;
        const char *noun;
        const char *text;
    } cases[] = {
        {{}, "file", "0 files · Zero KB"},
        {files(1, 0, Kind::app), "app", "1 app · Zero KB"},
        {files(1, 2'000), "file", "1 file · 2 KB"},
        {files(2, 1), "file", "2 files · 2 bytes"},
        {files(1'204, 2'574'750), "file", "1,204 files · 3.1 GB"},
        {{}, "screenshot", "0 screenshots · Zero KB"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(summary(c.items, QString::fromLatin1(c.noun)), QString::fromUtf8(c.text))
            << c.text;
}

TEST(Summary, GroupsTheCountTheLocaleWay)
{
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_TRUE(summary(files(1'204, 1), QStringLiteral("file"))
                    .startsWith(QStringLiteral("1.204 files · ")));
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
}
