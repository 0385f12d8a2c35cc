#include "records.h"
#include "state/nameorder.h"
#include "state/sortkey.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <QCollatorSortKey>
#include <QLocale>
#include <vector>

namespace {

// Names that tell orders apart: case, accents, digit runs, punctuation,
// scripts, and bytes that are not UTF-8. Several appear in two folders, so
// the order of equal names shows too.
const char *const kNames[] = {
    "file10.txt", "File2.txt", "file2.txt", "file 2.txt", "File 10.txt", "file1.txt", "file01.txt",
    "Résumé.pdf", "resume.pdf", "RESUME.pdf", "résumé.pdf", "rèsume.pdf", "Zebra", "zebra", "éclair",
    "eclair", "Eclair", "\xff\xfe.txt", "\xff\xfd.txt", "caf\xe9.txt", "_underscore", "-dash", ".hidden",
    "123", "45", "0045", "a b", "a_b", "a-b", "ab", "\xc3\x9f", "ss", "\xc3\xa4pfel", "apfel", "\xc3\xa5ngstr\xc3\xb6m",
    "\xe6\x97\xa5\xe6\x9c\xac.txt", "emoji \xf0\x9f\x98\x80", "v1.10", "v1.9", "IMG_0009", "IMG_10", ""};

QList<FileItem> catalog()
{
    QList<FileItem> out;
    for (const char *folder : {"/h/b/", "/h/a/"})
        for (const char *name : kNames)
            out.append(FileItem(fieldsFor(QByteArray(folder) + name)));
    // A fixed shuffle: no input order should help.
    QList<FileItem> shuffled;
    for (qsizetype i = 0; i < out.size(); ++i)
        shuffled.append(out.at(i * 37 % out.size()));
    return shuffled;
}

// The order as it was made before ranks: a stable sort by collation keys.
QList<QByteArray> byCollator(const QList<FileItem> &items)
{
    const QCollator collator = NameOrder::collator();
    std::vector<QCollatorSortKey> keys;
    for (const FileItem &item : items)
        keys.push_back(collator.sortKey(item.name()));
    std::vector<qsizetype> order(size_t(items.size()));
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = qsizetype(i);
    std::stable_sort(order.begin(), order.end(), [&](qsizetype a, qsizetype b) { return keys[a].compare(keys[b]) < 0; });
    QList<QByteArray> out;
    for (const qsizetype i : order)
        out.append(items.at(i).path());
    return out;
}

class LocaleScope final
{
public:
    explicit LocaleScope(const QLocale &locale) : m_saved(QLocale()) { QLocale::setDefault(locale); }
    ~LocaleScope() { QLocale::setDefault(m_saved); }

private:
    QLocale m_saved;
};

const QLocale kLocales[] = {QLocale(QLocale::English, QLocale::UnitedStates), QLocale::c(),
                            QLocale(QLocale::German, QLocale::Germany), QLocale(QLocale::Swedish, QLocale::Sweden)};

} // namespace

// Whatever mix of ranked and unranked records a list holds, the order is the collator's.
TEST(NameOrder, RanksGiveTheCollatorsOrder)
{
    for (const QLocale &locale : kLocales) {
        LocaleScope scope(locale);
        const QList<FileItem> fresh = catalog();
        QList<FileItem> ranked = fresh;
        NameOrder::rank(ranked);
        // Every other record left as made, as the wide search adds records the catalog never ranked.
        QList<FileItem> mixed;
        for (qsizetype i = 0; i < fresh.size(); ++i)
            mixed.append(i % 2 ? fresh.at(i) : ranked.at(i));
        // Two rankings in one list: the second one's records are loose to the first.
        QList<FileItem> again = catalog();
        NameOrder::rank(again);
        QList<FileItem> twoRankings = ranked.mid(0, ranked.size() - 5) + again.mid(ranked.size() - 5);
        const std::pair<const char *, QList<FileItem>> cases[] = {
            {"unranked", fresh}, {"ranked", ranked}, {"mixed", mixed}, {"two rankings", twoRankings},
            {"a subset", ranked.mid(7, 40)}, {"reversed", QList<FileItem>(ranked.crbegin(), ranked.crend())}};
        for (const auto &[label, items] : cases) {
            EXPECT_EQ(pathsOf(SortKey(SortKey::name).apply(items)), byCollator(items))
                << label << " " << locale.name().toStdString();
        }
        ASSERT_EQ(ranked.size(), fresh.size());
        EXPECT_NE(ranked.first().nameRanking(), 0);
    }
}

// Equal names share a rank; a rank says nothing under a locale it was not made for.
TEST(NameOrder, RanksHoldOnlyUnderTheirLocale)
{
    QList<FileItem> ranked;
    {
        LocaleScope scope(QLocale(QLocale::Swedish, QLocale::Sweden));
        ranked = {FileItem(fieldsFor("/h/\xc3\xa4pfel")), FileItem(fieldsFor("/h/zebra")),
                  FileItem(fieldsFor("/h/apfel")), FileItem(fieldsFor("/h/Zebra"))};
        NameOrder::rank(ranked);
        EXPECT_EQ(pathsOf(NameOrder::sorted(ranked)),
                  QList<QByteArray>({"/h/apfel", "/h/zebra", "/h/Zebra", "/h/\xc3\xa4pfel"}));
        EXPECT_EQ(ranked.at(1).nameRank(), ranked.at(3).nameRank());
    }
    LocaleScope scope(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(pathsOf(NameOrder::sorted(ranked)),
              QList<QByteArray>({"/h/apfel", "/h/\xc3\xa4pfel", "/h/zebra", "/h/Zebra"}));
}

// Large lists are ranked and keyed on several threads; the order must not change.
TEST(NameOrder, LargeListsKeepTheOrder)
{
    LocaleScope scope(QLocale(QLocale::English, QLocale::UnitedStates));
    QList<FileItem> items;
    for (int i = 0; i < 40000; ++i)
        items.append(FileItem(fieldsFor("/h/" + QByteArray(kNames[i % std::size(kNames)]) +
                                        QByteArray::number((i * 7919) % 1000))));
    const QList<QByteArray> expected = byCollator(items);
    EXPECT_EQ(pathsOf(NameOrder::sorted(items)), expected);
    QList<FileItem> ranked = items;
    NameOrder::rank(ranked);
    EXPECT_EQ(pathsOf(NameOrder::sorted(ranked)), expected);
}
