#include "analysis/cleanup.h"

#include <QDateTime>
#include <QTimeZone>

#include <gtest/gtest.h>

namespace {

// 2025-06-15 12:00 UTC: every age below is measured back from here.
const Millis kNow = QDateTime(QDate(2025, 6, 15), QTime(12, 0), QTimeZone::utc()).toMSecsSinceEpoch();
constexpr Millis kDay = 86'400'000;
const QByteArray kDownloads = "/h/Downloads";

struct CaseFile
{
    CaseFile(QByteArray p, Kind k = Kind::other, qint64 s = 1000, Millis modified = 0,
         std::optional<Millis> added = {}, bool shot = false, std::optional<Millis> used = {})
        : path(std::move(p)), kind(k), size(s), modifiedAge(modified), addedAge(added), screenshot(shot),
          lastUsedAge(used)
    {
    }
    QByteArray path;
    Kind kind;
    qint64 size;
    Millis modifiedAge;
    std::optional<Millis> addedAge; // same as modified when absent
    bool screenshot;
    std::optional<Millis> lastUsedAge;
};

FileItem record(const CaseFile &s)
{
    FileItem::Fields f;
    f.path = s.path;
    f.ext = lowerExtension(QString::fromUtf8(s.path.mid(s.path.lastIndexOf('/') + 1)));
    f.kind = s.kind;
    f.size = s.size;
    f.modified = f.created = kNow - s.modifiedAge;
    f.added = kNow - s.addedAge.value_or(s.modifiedAge);
    f.isScreenshot = s.screenshot;
    if (s.lastUsedAge)
        f.lastUsed = kNow - *s.lastUsedAge;
    return FileItem(f);
}

// The cards `item` lands on, by raw value.
QStringList cardsOf(const FileItem &item, const QList<DupGroup> &dups = {})
{
    QStringList out;
    for (const CleanupCard &card : Cleanup::cards({item}, dups, kNow, kDownloads))
        if (card.items.contains(item))
            out.append(card.id());
    return out;
}

DupGroup group(const QList<FileItem> &items)
{
    DupGroup g;
    g.id = QStringLiteral("g-") + items.first().pathString();
    g.items = items;
    g.keep = items.first().path();
    return g;
}

QList<QByteArray> paths(const QList<FileItem> &items)
{
    QList<QByteArray> out;
    for (const FileItem &i : items)
        out.append(i.path());
    return out;
}

} // namespace

TEST(Cleanup, EachRecordFindsItsOneCard)
{
    struct Case
    {
        const char *what;
        CaseFile file;
        QStringList cards;
    };
    const QString installers = "installers", downloads = "downloads", screenshots = "screenshots",
                  videos = "videos", apps = "apps";
    const Case cases[] = {
        {"old dmg in Downloads", {"/h/Downloads/Tool.dmg", Kind::archive, 5000, 100 * kDay}, {installers}},
        {"fresh dmg", {"/h/Downloads/Tool.dmg", Kind::archive, 5000, 10 * kDay}, {}},
        {"pkg of exactly 14 days", {"/h/x/a.pkg", Kind::archive, 5000, 14 * kDay}, {}},
        {"pkg just over 14 days", {"/h/x/a.pkg", Kind::archive, 5000, 14 * kDay + 1}, {installers}},
        {"old deb", {"/h/Downloads/tool_1.0_amd64.deb", Kind::archive, 5000, 30 * kDay}, {installers}},
        {"old rpm", {"/h/x/tool-1.0.x86_64.rpm", Kind::archive, 5000, 15 * kDay}, {installers}},
        {"deb of exactly 14 days", {"/h/x/tool.deb", Kind::archive, 5000, 14 * kDay}, {}},
        {"old AppImage never opened", {"/h/Apps/Tool.AppImage", Kind::app, 5000, 300 * kDay}, {}},
        {"AppImage unused for 181 days",
         {"/h/Applications/Tool.AppImage", Kind::app, 10, 400 * kDay, {}, false, 181 * kDay}, {apps}},
        {"AppImage in Downloads used lately",
         {"/h/Downloads/Tool.AppImage", Kind::app, 10, 400 * kDay, {}, false, 3 * kDay}, {}},
        {"old screenshot in Downloads",
         {"/h/Downloads/Screenshot.png", Kind::image, 10, 95 * kDay, {}, true}, {screenshots}},
        {"screenshot moved in lately",
         {"/h/Pictures/Screenshot.png", Kind::image, 10, 70 * kDay, 30 * kDay, true}, {}},
        {"screenshot of exactly 60 days", {"/h/P/S.png", Kind::image, 10, 60 * kDay, {}, true}, {}},
        {"big old video", {"/h/Videos/a.mov", Kind::video, 250'000'000, 200 * kDay}, {videos}},
        {"video of exactly 200 MB", {"/h/Videos/a.mov", Kind::video, 200'000'000, 181 * kDay}, {videos}},
        {"video a byte short", {"/h/Videos/a.mov", Kind::video, 199'999'999, 181 * kDay}, {}},
        {"smaller old video in Downloads",
         {"/h/Downloads/a.mov", Kind::video, 150'000'000, 200 * kDay}, {downloads}},
        {"smaller old video elsewhere", {"/h/Videos/a.mov", Kind::video, 150'000'000, 200 * kDay}, {}},
        {"download in a subfolder", {"/h/Downloads/sub/a.zip", Kind::archive, 10, 91 * kDay}, {downloads}},
        {"download of exactly 90 days", {"/h/Downloads/a.txt", Kind::document, 10, 90 * kDay}, {}},
        {"downloads in lower case", {"/h/downloads/a.txt", Kind::document, 10, 300 * kDay}, {}},
        {"Downloads folder itself named last", {"/h/Downloads", Kind::other, 10, 300 * kDay}, {}},
        {"dates in the future", {"/h/Downloads/a.dmg", Kind::archive, 10, -400 * kDay}, {}},
        {"app unused for 200 days",
         {"/Applications/Paint.app", Kind::app, 10, 400 * kDay, {}, false, 200 * kDay}, {apps}},
        {"app used 180 days ago",
         {"/Applications/Paint.app", Kind::app, 10, 400 * kDay, {}, false, 180 * kDay}, {}},
        {"system app", {"/System/Applications/Paint.app", Kind::app, 10, 400 * kDay, {}, false, 200 * kDay}, {}},
        {"app never opened", {"/Applications/Paint.app", Kind::app, 10, 400 * kDay}, {}},
        {"app in Downloads", {"/h/Downloads/Paint.app", Kind::app, 10, 365 * kDay}, {}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(cardsOf(record(c.file)), c.cards) << c.what;
}

TEST(Cleanup, DownloadsIsTheFolderNamedToItWhateverItsName)
{
    struct Case
    {
        const char *downloads;
        const char *path;
        bool forgotten;
    };
    const Case cases[] = {
        {"/h/Téléchargements", "/h/Téléchargements/a.txt", true},
        {"/h/Téléchargements/", "/h/Téléchargements/sub/a.txt", true},
        {"/h/Téléchargements", "/h/Downloads/a.txt", false},
        {"/h/Téléchargements", "/h/Téléchargements2/a.txt", false},
        {"/h/Téléchargements", "/h/Documents/Téléchargements/a.txt", false},
        {"", "/h/Downloads/a.txt", false},
    };
    for (const Case &c : cases) {
        const FileItem item = record({c.path, Kind::document, 10, 100 * kDay});
        const QList<CleanupCard> cards = Cleanup::cards({item}, {}, kNow, c.downloads);
        EXPECT_EQ(cards[1].items.contains(item), c.forgotten) << c.downloads << " " << c.path;
    }
}

TEST(Cleanup, InstallersCardNamesTheLinuxPackages)
{
    EXPECT_EQ(CleanupKinds::detail(CleanupKind::installers), ".deb, .rpm and .dmg files that have done their job.");
}

TEST(Cleanup, AnEmptyCatalogGivesSixEmptyCardsInOrder)
{
    const QList<CleanupCard> cards = Cleanup::cards({}, {}, kNow, kDownloads);
    QStringList ids;
    for (const CleanupCard &c : cards) {
        ids.append(c.id());
        EXPECT_TRUE(c.items.isEmpty());
    }
    EXPECT_EQ(ids, (QStringList{"duplicates", "downloads", "installers", "screenshots", "videos", "apps"}));
    EXPECT_EQ(Cleanup::total(cards), 0);
    EXPECT_EQ(Cleanup::total({}), 0);
}

TEST(Cleanup, AnExtraCopyThatIsAlsoAnOldDownloadCountsOnce)
{
    const FileItem kept = record({"/h/Documents/a.pdf", Kind::document, 7000, 5 * kDay});
    const FileItem extra = record({"/h/Downloads/a.pdf", Kind::document, 7000, 100 * kDay});
    const FileItem other = record({"/h/Downloads/b.zip", Kind::archive, 300, 100 * kDay});
    const QList<DupGroup> dups = {group({kept, extra})};
    EXPECT_EQ(cardsOf(extra, dups), (QStringList{"duplicates", "downloads"}));
    const QList<CleanupCard> cards = Cleanup::cards({kept, extra, other}, dups, kNow, kDownloads);
    EXPECT_EQ(Cleanup::total(cards), 7300);
}

TEST(Cleanup, KeepingAnotherCopyChangesTheDuplicatesCard)
{
    const FileItem a = record({"/h/a.txt", Kind::document, 5000, kDay});
    const FileItem b = record({"/h/b.txt", Kind::document, 5000, kDay});
    const FileItem c = record({"/h/c.txt", Kind::document, 5000, kDay});
    DupGroup g = group({a, b, c});
    EXPECT_EQ(paths(Cleanup::cards({a, b, c}, {g}, kNow, kDownloads).first().items),
              (QList<QByteArray>{b.path(), c.path()}));
    g.keep = b.path();
    EXPECT_EQ(paths(Cleanup::cards({a, b, c}, {g}, kNow, kDownloads).first().items),
              (QList<QByteArray>{a.path(), c.path()}));
}

TEST(Cleanup, CardsListLargestFirstAndKeepTheirOrderOnTies)
{
    QList<FileItem> items;
    for (const auto &[name, size] : std::initializer_list<std::pair<const char *, qint64>>{
             {"p", 10}, {"q", 30}, {"r", 10}, {"s", 20}})
        items.append(record({QByteArray("/h/Downloads/") + name, Kind::other, size, 100 * kDay}));
    const FileItem x1 = record({"/h/x1", Kind::other, 50}), x2 = record({"/h/x2", Kind::other, 50});
    const FileItem y1 = record({"/h/y1", Kind::other, 90}), y2 = record({"/h/y2", Kind::other, 90});
    const FileItem z1 = record({"/h/z1", Kind::other, 50}), z2 = record({"/h/z2", Kind::other, 50});
    const QList<CleanupCard> cards =
        Cleanup::cards(items, {group({z1, z2}), group({x1, x2}), group({y1, y2})}, kNow, kDownloads);
    EXPECT_EQ(paths(cards[1].items), (QList<QByteArray>{"/h/Downloads/q", "/h/Downloads/s",
                                                        "/h/Downloads/p", "/h/Downloads/r"}));
    EXPECT_EQ(paths(cards[0].items), (QList<QByteArray>{"/h/y2", "/h/z2", "/h/x2"}));
}

TEST(CleanupKind, RawValuesAreExact)
{
    for (CleanupKind kind : CleanupKinds::all)
        EXPECT_EQ(CleanupKinds::fromRawValue(CleanupKinds::rawValue(kind)), kind);
    EXPECT_EQ(CleanupKinds::fromRawValue(u"Duplicates"), std::nullopt);
    EXPECT_EQ(CleanupKinds::fromRawValue(u"trash"), std::nullopt);
}
