// Sorting 500,000 records: every order of the file list pages, and the name
// order against comparing names directly with the collator (its peer).
#include "benchsupport.h"
#include "state/sortkey.h"

#include <algorithm>
#include <cstdio>
#include <QCollator>
#include <QCoreApplication>
#include <QLocale>

namespace {

constexpr int kRecords = 500'000;

const char *const kStems[] = {"Quarterly report",
                              "IMG_",
                              "Screenshot from 2024-03-",
                              "invoice",
                              "Track ",
                              "Meeting notes",
                              "scan",
                              "Résumé draft",
                              "archive-v",
                              "Holiday video"};
const char *const kExts[] = {"pdf", "jpg", "png", "txt", "mp3", "mov", "zip", "docx", "heic", "md"};

QList<FileItem> makeRecords()
{
    QList<FileItem> out;
    out.reserve(kRecords);
    for (int i = 0; i < kRecords; ++i) {
        FileItem::Fields f;
        // Scrambled numbers, so the input is in no particular name order.
        const int n = int((i * 7919LL) % kRecords);
        const char *ext = kExts[i % 10];
        f.path = QByteArray("/home/someone/Documents/") + kStems[(i / 10) % 10] +
                 QByteArray::number(n) + (i % 3 == 0 ? " (copy)" : "") + '.' + ext;
        f.ext = QString::fromLatin1(ext);
        f.kind = Kinds::of(f.ext);
        f.size = (i * 104729LL) % 50'000'000;
        f.modified = 1'600'000'000'000LL + n * 1000LL;
        f.added = f.modified + (i % 3) * 5000;
        out.append(FileItem(f));
    }
    return out;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    const QList<FileItem> items = makeRecords();

    for (const SortKey key : SortKey::all) {
        const double s = Bench::medianSeconds(3, [&] { (void)key.apply(items); });
        std::printf("sort %d records by %s: %.1f ms\n", kRecords, qPrintable(key.rawValue()),
                    s * 1000);
    }

    // The peer: a stable sort that runs the collation rules on every pair.
    const double keyed =
        Bench::medianSeconds(3, [&] { (void)SortKey(SortKey::name).apply(items); });
    const double direct = Bench::medianSeconds(1, [&] {
        QCollator collator;
        collator.setNumericMode(true);
        collator.setCaseSensitivity(Qt::CaseInsensitive);
        QList<FileItem> copy = items;
        std::stable_sort(copy.begin(), copy.end(), [&](const FileItem &a, const FileItem &b) {
            return collator.compare(a.name(), b.name()) < 0;
        });
    });
    std::printf(
        "name order, collation keys: %.1f ms; pairwise collator compare: %.1f ms; ratio %.2fx\n",
        keyed * 1000, direct * 1000, direct / keyed);
    return 0;
}
