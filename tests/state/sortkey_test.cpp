#include "records.h"
#include "state/sortkey.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <QFile>
#include <QLocale>

namespace {

// A fixed moment, so no order depends on the machine's clock.
constexpr Millis kNow = 1'765'000'000'000LL;
constexpr Millis kDay = 86'400'000LL;

FileItem file(const QByteArray &path, Millis modified = kNow, qint64 size = 0,
              Millis added = kDistantPast)
{
    FileItem::Fields f = fieldsFor(path);
    f.size = size;
    f.modified = modified;
    f.created = modified;
    f.added = added;
    return FileItem(f);
}

QList<QString> names(const QList<FileItem> &items)
{
    QList<QString> out;
    for (const FileItem &item : items)
        out.append(item.name());
    return out;
}

// Sets the default locale for one test and puts the previous one back.
class LocaleScope final
{
public:
    explicit LocaleScope(const QLocale &locale) : m_saved(QLocale())
    {
        QLocale::setDefault(locale);
    }
    ~LocaleScope() { QLocale::setDefault(m_saved); }

private:
    QLocale m_saved;
};

} // namespace

TEST(SortKey, RawValuesAreMatchedExactly)
{
    const std::pair<const char *, std::optional<SortKey>> cases[] = {
        {"Date", SortKey::date}, {"Name", SortKey::name}, {"Size", SortKey::size},
        {"Kind", SortKey::kind}, {"date", std::nullopt},  {"DATE", std::nullopt},
        {"", std::nullopt},      {" Date", std::nullopt}, {"Type", std::nullopt},
    };
    for (const auto &[raw, expected] : cases)
        EXPECT_EQ(SortKey::fromRawValue(QString::fromLatin1(raw)), expected) << raw;

    QStringList labels;
    for (const SortKey key : SortKey::all) {
        labels.append(key.rawValue());
        EXPECT_EQ(SortKey::fromRawValue(key.rawValue()), key);
    }
    EXPECT_EQ(labels, QStringList({"Date", "Name", "Size", "Kind"}));
    EXPECT_EQ(SortKey(), SortKey::date);
}

TEST(SortKey, NamesCompareLikeAFileBrowserInEveryLocale)
{
    const QList<FileItem> items = {
        file("/h/File 10.txt"), file("/h/cherry.png"), file("/h/file 2.txt"), file("/h/Banana.png"),
        file("/h/File 1.txt"),  file("/h/apple.png"),  file("/h/File 9.txt")};
    const QList<QString> expected = {"apple.png",  "Banana.png", "cherry.png", "File 1.txt",
                                     "file 2.txt", "File 9.txt", "File 10.txt"};
    // "C" has no collation of its own; the order must not fall back to digit-by-digit.
    for (const QLocale &locale : {QLocale(QLocale::English, QLocale::UnitedStates), QLocale::c(),
                                  QLocale(QLocale::German, QLocale::Germany)}) {
        LocaleScope scope(locale);
        EXPECT_EQ(names(SortKey(SortKey::name).apply(items)), expected)
            << locale.name().toStdString();
    }
}

TEST(SortKey, NamesThatCompareTheSameKeepTheirOrder)
{
    LocaleScope scope(QLocale(QLocale::English, QLocale::UnitedStates));
    const QList<FileItem> items = {file("/y/notes.txt"), file("/b/zebra.txt"), file("/z/Notes.txt"),
                                   file("/a/notes.txt")};
    EXPECT_EQ(pathsOf(SortKey(SortKey::name).apply(items)),
              QList<QByteArray>({"/y/notes.txt", "/z/Notes.txt", "/a/notes.txt", "/b/zebra.txt"}));
}

TEST(SortKey, DatesAndSizes)
{
    // b's added date is later than its modified date, so it is the newest.
    const QList<FileItem> items = {
        file("/h/a", kNow - 3 * kDay, 10), file("/h/b", kNow - 5 * kDay, 30, kNow),
        file("/h/c", kNow - kDay, 30), file("/h/d", kNow - 3 * kDay, 20)};
    EXPECT_EQ(pathsOf(SortKey(SortKey::date).apply(items)),
              QList<QByteArray>({"/h/b", "/h/c", "/h/a", "/h/d"}));
    EXPECT_EQ(pathsOf(SortKey(SortKey::size).apply(items)),
              QList<QByteArray>({"/h/b", "/h/c", "/h/d", "/h/a"}));
}

TEST(SortKey, KindGroupsByExtensionThenNewestFirst)
{
    const QList<FileItem> items = {
        file("/h/old.png", kNow - 9 * kDay),  file("/h/trip.jpg", kNow - 20 * kDay),
        file("/h/new.png", kNow - kDay),      file("/h/Makefile", kNow - 30 * kDay),
        file("/h/mid.png", kNow - 4 * kDay),  file("/h/scan.pdf", kNow),
        file("/h/same.png", kNow - 4 * kDay),
    };
    EXPECT_EQ(pathsOf(SortKey(SortKey::kind).apply(items)),
              QList<QByteArray>({"/h/Makefile", "/h/trip.jpg", "/h/scan.pdf", "/h/new.png",
                                 "/h/mid.png", "/h/same.png", "/h/old.png"}));
}

TEST(SortKey, EveryOrderKeepsEveryFileIncludingOddNames)
{
    LocaleScope scope(QLocale(QLocale::English, QLocale::UnitedStates));
    const QList<FileItem> items = {file("/h/\xff\xfe.txt", kNow, 5),
                                   file("/h/.hidden", kNow - kDay, 5),
                                   file("/h/caf\xc3\xa9.txt", kNow, 1), file("/h/ ", kNow, 0),
                                   file("/h/\xff\xfe.txt", kNow, 5)};
    for (const SortKey key : SortKey::all) {
        EXPECT_TRUE(key.apply({}).isEmpty());
        QList<QByteArray> got = pathsOf(key.apply(items));
        QList<QByteArray> want = pathsOf(items);
        std::sort(got.begin(), got.end());
        std::sort(want.begin(), want.end());
        EXPECT_EQ(got, want) << key.rawValue().toStdString();
    }
}
