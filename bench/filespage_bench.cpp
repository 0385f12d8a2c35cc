// The file list page with 500,000 files: replacing its model, and one full
// repaint of a 1220 × 800 window of cards and of rows once the thumbnails
// are cached.
#include "benchsupport.h"
#include "files/thumbs.h"
#include "files/filelistview.h"
#include "pages/filelistmodel.h"
#include "pages/filespage.h"
#include "state/appstate.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QScrollBar>
#include <QTest>

#include <cstdio>

namespace {

constexpr int kRecords = 500'000;
constexpr int kRepaints = 40;

const char *const kExts[] = {"pdf", "jpg", "png", "txt", "mp3", "mov", "zip", "docx", "heic", "app"};

QList<FileItem> makeRecords()
{
    QList<FileItem> out;
    out.reserve(kRecords);
    for (int i = 0; i < kRecords; ++i) {
        FileItem::Fields f;
        const char *ext = kExts[i % 10];
        f.path = QByteArray("/home/someone/Documents/Project ") + QByteArray::number(i / 100) + "/File " +
                 QByteArray::number(i) + '.' + ext;
        f.ext = QString::fromLatin1(ext);
        f.kind = Kinds::of(f.ext);
        f.size = 1000 + (i * 7919LL) % 50'000'000;
        f.modified = 1'700'000'000'000LL - qint64(i) * 60'000;
        if (i % 7 == 0)
            f.source = QStringLiteral("example.com");
        out.append(FileItem(f));
    }
    return out;
}

// Thumbnails of the first screens, as the loaders would have left them.
void warm(Thumbs &thumbs, const QList<FileItem> &items, int count)
{
    QImage card(220, 165, QImage::Format_RGB32);
    card.fill(QColor(0x7a, 0x9c, 0xc6));
    QImage row(64, 48, QImage::Format_RGB32);
    row.fill(QColor(0xc6, 0x9c, 0x7a));
    for (int i = 0; i < count; ++i) {
        thumbs.insert(items[i].path(), 220, card);
        thumbs.insert(items[i].path(), 64, row);
    }
}

double repaintMs(FilesPage &page)
{
    QWidget *viewport = page.view().viewport();
    viewport->repaint(); // fills the scaled-pixmap caches
    return 1000 * Bench::medianSeconds(kRepaints, [&] { viewport->repaint(); });
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QList<FileItem> items = makeRecords();
    std::printf("records: %d\n", kRecords);

    FileListModel model;
    const double resetMs = 1000 * Bench::medianSeconds(7, [&] {
        model.setItems({});
        model.setItems(items);
    });
    std::printf("model reset, 500,000 files:           %8.2f ms  (goal <= 100 ms)\n", resetMs);

    AppState state;
    Thumbs thumbs;
    FilesPage page(state, thumbs);
    page.resize(1220, 800);
    page.show();
    QTest::qWaitForWindowExposed(&page);

    QElapsedTimer timer;
    timer.start();
    page.setItems(items);
    std::printf("page setItems (date sort + reset):    %8.2f ms\n", double(timer.nsecsElapsed()) / 1e6);
    QCoreApplication::processEvents();
    warm(thumbs, page.sorted(), 200);

    state.setListMode(false);
    QCoreApplication::processEvents();
    const auto [gridFirst, gridLast] = page.view().rowsInView();
    const double grid = repaintMs(page);
    std::printf("full repaint, grid (%d cards):         %8.2f ms  (goal <= 8 ms)\n", gridLast - gridFirst + 1, grid);

    state.setListMode(true);
    QCoreApplication::processEvents();
    const auto [listFirst, listLast] = page.view().rowsInView();
    const double list = repaintMs(page);
    std::printf("full repaint, list (%d rows):          %8.2f ms  (goal <= 8 ms)\n", listLast - listFirst + 1, list);

    // Deep in the list: placing the visible range costs the same at row 400,000.
    page.view().verticalScrollBar()->setValue(page.view().verticalScrollBar()->maximum() * 4 / 5);
    QCoreApplication::processEvents();
    const double deep = repaintMs(page);
    std::printf("full repaint, list at 80%% (no thumbs): %8.2f ms\n", deep);
    return 0;
}
