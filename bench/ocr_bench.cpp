// Reads 50 generated screenshots with the text-in-images pass (a fresh store,
// the real image analysis) and with `tesseract IMAGE -` run once per file,
// and prints both times, their ratio and how the words found compare, with
// each other and with the words drawn.
//
// usage: bench_ocr [RUNS]  (median of RUNS runs each, default 1)
#include "analysis/ocrindex.h"
#include "benchsupport.h"
#include "library/library.h"
#include "screenwords.h"

#include <QDateTime>
#include <QEventLoop>
#include <QFile>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QRegularExpression>
#include <QRandomGenerator>
#include <QSet>
#include <QTemporaryDir>

#include <cstdio>

namespace {

constexpr int kScreens = 50;


QString words(QRandomGenerator &rng, int count)
{
    QStringList out;
    for (int i = 0; i < count; ++i)
        out.append(QString::fromLatin1(kScreenWords[rng.bounded(int(std::size(kScreenWords)))]));
    return out.join(u' ');
}

// An application window: a sidebar of short entries, a heading, paragraphs
// of running text and a status line, light or dark, at one of the usual
// body sizes (the larger ones as on a high-density screen).
QString drawScreen(const QByteArray &path, int n)
{
    static const int kBodySizes[] = {12, 13, 14, 15, 16, 18, 24, 28};
    const int body = kBodySizes[n % int(std::size(kBodySizes))];
    const bool dark = n % 3 == 2;
    QRandomGenerator rng(quint32(1000 + n));
    QImage image(body >= 24 ? QSize(2560, 1600) : QSize(1440, 900), QImage::Format_RGB32);
    image.fill(dark ? QColor(30, 30, 34) : QColor(250, 250, 250));
    QPainter p(&image);
    const QColor ink = dark ? QColor(225, 225, 230) : QColor(28, 28, 30);
    const QColor sidebar = dark ? QColor(44, 44, 50) : QColor(236, 236, 240);
    const int sideWidth = body * 16;
    p.fillRect(0, 0, sideWidth, image.height(), sidebar);
    QFont font(QStringLiteral("Inter"));
    font.setPixelSize(body);
    p.setFont(font);
    p.setPen(ink);
    QStringList drawn;
    const auto draw = [&](int x, int y, const QString &text) {
        p.drawText(x, y, text);
        drawn.append(text);
    };
    for (int i = 0; i < 12; ++i)
        draw(body * 2, body * (4 + 2 * i), words(rng, 1 + i % 2));
    QFont heading = font;
    heading.setPixelSize(body * 2);
    heading.setBold(true);
    p.setFont(heading);
    draw(sideWidth + body * 2, body * 4, words(rng, 3));
    p.setFont(font);
    const int lines = (image.height() - body * 10) / (body * 2);
    for (int i = 0; i < lines; ++i)
        draw(sideWidth + body * 2, body * (8 + 2 * i), words(rng, 6 + i % 4));
    draw(sideWidth + body * 2, image.height() - body, words(rng, 4));
    p.end();
    image.save(QFile::decodeName(path), "PNG");
    return drawn.join(u'\n');
}

// Lower-case words with the punctuation around them taken off.
QSet<QString> wordSet(const QString &text)
{
    QSet<QString> out;
    for (QString w : text.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts)) {
        while (!w.isEmpty() && !w.front().isLetterOrNumber())
            w.remove(0, 1);
        while (!w.isEmpty() && !w.back().isLetterOrNumber())
            w.chop(1);
        if (!w.isEmpty())
            out.insert(w.toLower());
    }
    return out;
}

struct Words
{
    qsizetype found = 0;
    qsizetype drawn = 0;
};

// Recognised words summed over the screenshots, and how many of them were drawn there.
Words score(const QList<QSet<QString>> &found, const QList<QSet<QString>> &truth)
{
    Words w;
    for (qsizetype n = 0; n < found.size(); ++n) {
        w.found += found[n].size();
        w.drawn += QSet<QString>(found[n]).intersect(truth[n]).size();
    }
    return w;
}

QList<QSet<QString>> runPass(const QList<QByteArray> &screens)
{
    Library::Environment env;
    env.home = "/nonexistent";
    env.demoRoots = Library::Paths{};
    env.appDirs = [] { return Library::Paths{}; };
    env.now = [] { return QDateTime::currentMSecsSinceEpoch(); };
    env.later = [](int, std::function<void()>) {};
    env.scan = [](const Library::Paths &, const Library::Paths &) { return QList<FileItem>{}; };
    env.folderSize = [](const QByteArray &) { return qint64(0); };
    env.watchFolders = false;
    Library library(std::move(env));
    QTemporaryDir store;
    OCRIndex::Environment ocr;
    ocr.storePath = store.filePath(QStringLiteral("text-in-images.json"));
    ocr.look = &OCRIndex::look;
    ocr.now = [] { return QDateTime::currentMSecsSinceEpoch(); };
    ocr.library = &library;
    OCRIndex index(std::move(ocr));

    QList<FileItem> items;
    const Millis now = QDateTime::currentMSecsSinceEpoch();
    for (const QByteArray &path : screens) {
        FileItem::Fields f;
        f.path = path;
        f.ext = QStringLiteral("png");
        f.kind = Kind::image;
        f.size = QFile(QFile::decodeName(path)).size();
        f.modified = f.created = f.added = now;
        f.isScreenshot = true;
        items.append(FileItem(f));
    }
    QEventLoop loop;
    QObject::connect(&index, &OCRIndex::passFinished, &loop, &QEventLoop::quit);
    index.start(items);
    loop.exec();
    QList<QSet<QString>> found;
    for (const QByteArray &path : screens)
        found.append(wordSet(library.ocr().value(path)));
    return found;
}

QList<QSet<QString>> runTesseract(const QList<QByteArray> &screens, bool oneThread)
{
    QList<QSet<QString>> found;
    for (const QByteArray &path : screens) {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        if (oneThread)
            env.insert(QStringLiteral("OMP_THREAD_LIMIT"), QStringLiteral("1"));
        else
            env.remove(QStringLiteral("OMP_THREAD_LIMIT"));
        p.setProcessEnvironment(env);
        p.setStandardErrorFile(QProcess::nullDevice());
        p.start(QStringLiteral("tesseract"), {QFile::decodeName(path), QStringLiteral("-")});
        p.waitForFinished(-1);
        found.append(wordSet(QString::fromUtf8(p.readAllStandardOutput())));
    }
    return found;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 1;
    if (!Bench::haveProgram(QStringLiteral("tesseract"))) {
        std::fputs("bench_ocr: the tesseract command is missing (Debian package tesseract-ocr)\n", stderr);
        return 1;
    }

    const QByteArray folder = Bench::cacheFolder("ocr-screens-v1");
    QList<QByteArray> screens;
    QList<QSet<QString>> truth;
    qsizetype truthWords = 0;
    for (int n = 0; n < kScreens; ++n) {
        const QByteArray path = folder + "/Screenshot " + QByteArray::number(n) + ".png";
        QFile drawn(QFile::decodeName(path + ".txt"));
        if (!QFile::exists(QFile::decodeName(path)) || !drawn.exists()) {
            const QString text = drawScreen(path, n);
            drawn.open(QIODevice::WriteOnly);
            drawn.write(text.toUtf8());
            drawn.close();
        }
        drawn.open(QIODevice::ReadOnly);
        truth.append(wordSet(QString::fromUtf8(drawn.readAll())));
        truthWords += truth.constLast().size();
        screens.append(path);
    }

    QList<QSet<QString>> ours;
    QList<QSet<QString>> theirs;
    QList<QSet<QString>> theirsOneThread;
    const double passSeconds = Bench::medianSeconds(runs, [&] { ours = runPass(screens); });
    const double peerSeconds = Bench::medianSeconds(runs, [&] { theirs = runTesseract(screens, false); });
    const double peerOneSeconds = Bench::medianSeconds(runs, [&] { theirsOneThread = runTesseract(screens, true); });

    qsizetype both = 0;
    qsizetype onlyOurs = 0;
    qsizetype onlyTheirs = 0;
    for (int n = 0; n < kScreens; ++n) {
        both += QSet<QString>(ours[n]).intersect(theirs[n]).size();
        onlyOurs += QSet<QString>(ours[n]).subtract(theirs[n]).size();
        onlyTheirs += QSet<QString>(theirs[n]).subtract(ours[n]).size();
    }
    const Words a = score(ours, truth);
    const Words b = score(theirs, truth);

    std::printf("text recognition over %d generated screenshots (1440x900 and 2560x1600, body text 12-28 px, "
                "a third dark), median of %d run(s)\n",
                kScreens, runs);
    std::printf("  OCR pass (text and subjects)  %7.2f s  %5.0f ms per image\n", passSeconds,
                1000.0 * passSeconds / kScreens);
    std::printf("  tesseract IMAGE - per file    %7.2f s  %5.0f ms per image\n", peerSeconds,
                1000.0 * peerSeconds / kScreens);
    std::printf("  the same, OMP_THREAD_LIMIT=1  %7.2f s  %5.0f ms per image\n", peerOneSeconds,
                1000.0 * peerOneSeconds / kScreens);
    std::printf("  ratio pass / tesseract        %7.2f  (goal <= 0.8)\n", passSeconds / peerSeconds);
    std::printf("  ratio pass / one-thread run   %7.2f\n", passSeconds / peerOneSeconds);
    std::printf("words (distinct per screenshot, summed; %lld drawn):\n", (long long)truthWords);
    std::printf("  found by both %lld, only by the pass %lld, only by tesseract %lld\n", (long long)both,
                (long long)onlyOurs, (long long)onlyTheirs);
    std::printf("  pass:      %6lld found, %6lld of them drawn (%.1f%% of the drawn words)\n", (long long)a.found,
                (long long)a.drawn, 100.0 * double(a.drawn) / double(truthWords));
    std::printf("  tesseract: %6lld found, %6lld of them drawn (%.1f%% of the drawn words)\n", (long long)b.found,
                (long long)b.drawn, 100.0 * double(b.drawn) / double(truthWords));
    return 0;
}
