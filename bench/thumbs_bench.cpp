// Thumbnails after a fling: the file page with 50,000 real pictures is
// scrolled from top to bottom at an even speed in two seconds of frames
// (a thumb dragged down the scroll bar and let go), then the clock runs
// from the last frame until every card left in view has its thumbnail. The floor is a fresh
// cache asked for just those cards, the least any loader could take.
#include "benchsupport.h"
#include "files/filelistview.h"
#include "files/thumbs.h"
#include "pages/filespage.h"
#include "state/appstate.h"

#include <QApplication>
#include <QColor>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QScrollBar>
#include <QTest>

#include <cmath>
#include <functional>
#include <cstdio>

namespace {

constexpr int kPictures = 50'000;
constexpr int kFrames = 120; // two seconds at 60 frames a second
constexpr int kFrameMs = 16;
constexpr double kCardSize = 220;

QByteArray picturePath(const QByteArray &root, int i)
{
    return root + '/' + QByteArray::number(i / 1000) + "/picture " + QByteArray::number(i) +
           (i % 4 == 3 ? ".png" : ".jpg");
}

// Small camera-like pictures, written once and kept in the temporary folder.
QByteArray pictures()
{
    const QByteArray root = Bench::cacheFolder("thumbs-50000");
    const QString done = QFile::decodeName(root) + QStringLiteral("/.complete");
    if (QFile::exists(done))
        return root;
    std::fprintf(stderr, "writing %d pictures into %s (once)\n", kPictures, root.constData());
    QImage image(320, 240, QImage::Format_RGB32);
    for (int i = 0; i < kPictures; ++i) {
        if (i % 1000 == 0)
            QDir().mkpath(QFile::decodeName(root) + u'/' + QString::number(i / 1000));
        const int hue = (i * 37) % 360;
        QLinearGradient gradient(0, 0, 320, 240);
        gradient.setColorAt(0, QColor::fromHsv(hue, 160, 230));
        gradient.setColorAt(1, QColor::fromHsv((hue + 120) % 360, 200, 90));
        QPainter p(&image);
        p.fillRect(image.rect(), gradient);
        p.setPen(Qt::white);
        p.setFont(QFont(QStringLiteral("DejaVu Sans"), 28));
        p.drawText(image.rect(), Qt::AlignCenter, QString::number(i));
        p.drawEllipse(QPointF(60 + i % 200, 60 + i % 120), 30, 20);
        p.end();
        image.save(QFile::decodeName(picturePath(root, i)), i % 4 == 3 ? "PNG" : "JPG", 85);
    }
    QFile marker(done);
    marker.open(QIODevice::WriteOnly);
    return root;
}

QList<FileItem> makeItems(const QByteArray &root)
{
    QList<FileItem> out;
    out.reserve(kPictures);
    for (int i = 0; i < kPictures; ++i) {
        FileItem::Fields f;
        f.path = picturePath(root, i);
        f.ext = i % 4 == 3 ? QStringLiteral("png") : QStringLiteral("jpg");
        f.kind = Kind::image;
        f.size = QFileInfo(QFile::decodeName(f.path)).size();
        f.modified = 1'700'000'000'000LL - qint64(i) * 60'000;
        out.append(FileItem(f));
    }
    return out;
}

bool allInView(const FilesPage &page, const Thumbs &thumbs)
{
    const auto [first, last] = page.view().rowsInView();
    for (int row = first; row <= last; ++row)
        if (!thumbs.contains(page.sorted().at(row).path(), kCardSize))
            return false;
    return true;
}

double waitMs(const std::function<bool()> &done)
{
    QElapsedTimer timer;
    timer.start();
    while (!done())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    return double(timer.nsecsElapsed()) / 1e6;
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QList<FileItem> items = makeItems(pictures());

    AppState state;
    state.setListMode(false);
    Thumbs thumbs;
    FilesPage page(state, thumbs);
    page.resize(1220, 800);
    page.show();
    if (!QTest::qWaitForWindowExposed(&page))
        return 1;
    page.setItems(items);
    QCoreApplication::processEvents();

    QScrollBar *bar = page.view().verticalScrollBar();
    QElapsedTimer frame;
    for (int i = 1; i < kFrames; ++i) {
        frame.start();
        bar->setValue(int(std::round(double(bar->maximum()) * i / kFrames)));
        page.view().viewport()->repaint();
        while (frame.elapsed() < kFrameMs)
            QCoreApplication::processEvents(QEventLoop::AllEvents, kFrameMs - int(frame.elapsed()));
    }
    QElapsedTimer stop;
    stop.start();
    bar->setValue(bar->maximum());
    page.view().viewport()->repaint();
    const auto [first, last] = page.view().rowsInView();
    waitMs([&] { return allInView(page, thumbs); });
    const double after = double(stop.nsecsElapsed()) / 1e6;
    thumbs.waitForDone();

    // The floor: only the cards in view, asked of an empty cache.
    Thumbs fresh;
    for (int row = first; row <= last; ++row)
        fresh.request(page.sorted().at(row).path(), kCardSize);
    const double floor = waitMs([&] {
        for (int row = first; row <= last; ++row)
            if (!fresh.contains(page.sorted().at(row).path(), kCardSize))
                return false;
        return true;
    });

    std::printf("pictures: %d, frames: %d of %d ms, cards in view at the end: %d\n", kPictures, kFrames,
                kFrameMs, last - first + 1);
    std::printf("fling end -> every card in view has its thumbnail: %8.1f ms\n", after);
    std::printf("floor: those cards alone, empty cache:            %8.1f ms\n", floor);
    std::printf("ratio: %.2f\n", floor > 0 ? after / floor : 0.0);
    return 0;
}
