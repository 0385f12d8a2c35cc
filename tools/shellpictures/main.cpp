// Renders the window frame's parts (sidebar, inspector, toast, bar buttons)
// light and dark to PNG files, on a made-up catalog, for a look at them:
//   QT_QPA_PLATFORM=offscreen tovalo-shellpictures OUTDIR
#include "files/thumbs.h"
#include "library/library.h"
#include "shell/appicon.h"
#include "shell/barbutton.h"
#include "shell/inspector.h"
#include "shell/siderow.h"
#include "shell/sidebar.h"
#include "shell/toast.h"
#include "state/appstate.h"
#include "state/trasher.h"
#include "theme/appearance.h"
#include "theme/fonts.h"
#include "theme/theme.h"

#include "picturetool.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QHBoxLayout>
#include <QImage>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>

namespace {

void save(QWidget &widget, const QString &file)
{
    widget.grab().save(file);
    QTextStream(stdout) << file << '\n';
}

// A plain fill of the window background, standing in for the frame around a part.
class Backdrop final : public QWidget
{
public:
    explicit Backdrop(QWidget *parent = nullptr) : QWidget(parent) { Appearance::shared().follow(this, &m_dark); }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.fillRect(rect(), Theme::bg.resolve(m_dark));
    }

private:
    bool m_dark = false;
};

FileItem record(const QByteArray &path, Kind kind, qint64 size, Millis when, std::optional<QString> source = {})
{
    FileItem::Fields f;
    f.path = path;
    f.ext = lowerExtension(QFile::decodeName(path.mid(path.lastIndexOf('/') + 1)));
    f.kind = kind;
    f.size = size;
    f.modified = when;
    f.added = when;
    f.source = std::move(source);
    f.lastUsed = std::min(when + 86'400'000, QDateTime::currentMSecsSinceEpoch());
    f.isScreenshot = path.contains("/Screenshot ");
    return FileItem(f);
}

QByteArray writePicture(const QString &folder)
{
    QImage image(1200, 800, QImage::Format_RGB32);
    QPainter p(&image);
    QLinearGradient sky(0, 0, 0, 800);
    sky.setColorAt(0, QColor(0x7FB3F5));
    sky.setColorAt(1, QColor(0xF6D9A8));
    p.fillRect(image.rect(), sky);
    p.setBrush(QColor(0x3E7D4F));
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(300, 900), 700, 380);
    p.setBrush(QColor(0x2F6340));
    p.drawEllipse(QPointF(1000, 950), 600, 400);
    p.setBrush(QColor(0xFFF2C4));
    p.drawEllipse(QPointF(880, 220), 90, 90);
    p.end();
    const QString path = folder + QStringLiteral("/Hillside at dusk.jpg");
    image.save(path, "JPG", 90);
    return QFile::encodeName(path);
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (argc != 2) {
        QTextStream(stderr) << "usage: tovalo-shellpictures OUTDIR\n";
        return 2;
    }
    Fonts::ensureLoaded();
    const QString out = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(out);
    QTemporaryDir home;
    QDir(home.path()).mkpath(QStringLiteral("Documents"));
    QDir(home.path()).mkpath(QStringLiteral("Downloads"));
    QDir(home.path()).mkpath(QStringLiteral("Pictures"));
    QDir(home.path()).mkpath(QStringLiteral("Projects/Tovalo"));
    const QByteArray root = QFile::encodeName(home.path());
    const QByteArray picture = writePicture(home.path() + QStringLiteral("/Pictures"));
    const Millis now = QDateTime::currentMSecsSinceEpoch();

    QList<FileItem> records;
    for (int i = 0; i < 1204; ++i)
        records.append(record(root + "/Documents/Report " + QByteArray::number(i) + ".pdf", Kind::document,
                              40'000 + i * 10, now - Millis(i) * 3'600'000));
    for (int i = 0; i < 37; ++i)
        records.append(record(root + "/Pictures/Screenshot " + QByteArray::number(i) + ".png", Kind::image,
                              900'000, now - Millis(i) * 86'400'000));
    records.append(record(picture, Kind::image, 412'000, now - 2 * 86'400'000, QStringLiteral("unsplash.com")));
    for (int i = 0; i < 12; ++i)
        records.append(record(root + "/Downloads/clip" + QByteArray::number(i) + ".mov", Kind::video,
                              240'000'000 + i, now - Millis(i) * 86'400'000, QStringLiteral("example.com")));
    records.append(record(root + "/Downloads/installer.dmg", Kind::archive, 130'000'000, now, QStringLiteral("github.com")));

    Library::Environment env;
    env.home = root;
    env.standardCandidates = {root + "/Desktop", root + "/Documents", root + "/Downloads", root + "/Pictures"};
    env.appDirs = [] { return Library::Paths{}; };
    env.now = [now] { return now; };
    env.later = [](int ms, std::function<void()> action) { QTimer::singleShot(ms, action); };
    env.scan = [records](const Library::Paths &, const Library::Paths &) { return records; };
    env.folderSize = [](const QByteArray &) { return qint64(0); };
    env.findDuplicates = [](const QList<FileItem> &items, const QByteArray &) {
        QList<DupGroup> groups;
        QList<FileItem> videos;
        for (const FileItem &item : items)
            if (item.kind() == Kind::video)
                videos.append(item);
        groups.append({QStringLiteral("g"), videos.mid(0, 4), videos.first().path()});
        return groups;
    };
    env.cleanupCards = [](const QList<FileItem> &items, const QList<DupGroup> &, Millis, const QByteArray &) {
        QList<FileItem> videos;
        for (const FileItem &item : items)
            if (item.kind() == Kind::video)
                videos.append(item);
        return QList<CleanupCard>{{CleanupKind::videos, videos}};
    };
    env.startTextRecognition = [](const QList<FileItem> &) {};
    env.watchFolders = false;
    Library library(env);
    library.rescan(false);
    while (!library.hasScanned() || library.isScanning() || library.dupScanning())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    library.pin(root + "/Projects/Tovalo");
    PictureTool::settle(100);
    library.setOcr({{picture, QStringLiteral("Hillside trail — 4.2 km\nOpen daily 7:00–19:00\nPlease keep dogs on a lead")}});
    library.setSubjects({{picture, {QStringLiteral("landscape"), QStringLiteral("hill"), QStringLiteral("sky"),
                                    QStringLiteral("sunset")}}});

    AppIcon::pixmap(QSize(256, 256)).save(out + QStringLiteral("/icon-256.png"));
    AppIcon::pixmap(QSize(26, 26), 2).save(out + QStringLiteral("/icon-26@2x.png"));

    AppState &state = AppState::shared();
    Trasher::Environment trashEnv;
    trashEnv.library = &library;
    trashEnv.later = [](int, std::function<void()>) {};
    Trasher trasher(trashEnv);

    for (bool dark : {false, true}) {
        Appearance::shared().setForcedDark(dark);
        const QString look = dark ? QStringLiteral("dark") : QStringLiteral("light");
        state.go(Route::kind(Kind::document));
        {
            Sidebar sidebar(state, library);
            sidebar.resize(Sidebar::kWidth, 820);
            sidebar.show();
            PictureTool::settle(50);
            // One hovered row next to the active one.
            SideRow *hovered = sidebar.row(Route::kind(Kind::video));
            QEnterEvent enter(QPointF(10, 10), QPointF(10, 10), QPointF(10, 10));
            QCoreApplication::sendEvent(hovered, &enter);
            PictureTool::settle(50);
            save(sidebar, out + QStringLiteral("/sidebar-%1.png").arg(look));
        }
        {
            Backdrop frame;
            auto *layout = new QHBoxLayout(&frame);
            layout->setContentsMargins(0, 0, 0, 0);
            Inspector inspector(state, library, Thumbs::shared());
            layout->addStretch(1);
            layout->addWidget(&inspector);
            frame.resize(Inspector::kWidth + 40, 760);
            frame.show();
            state.setVisible({});
            PictureTool::settle(50);
            save(frame, out + QStringLiteral("/inspector-empty-%1.png").arg(look));
            FileItem chosen;
            for (const FileItem &item : library.items())
                if (item.path() == picture)
                    chosen = item;
            state.setVisible({chosen});
            state.setAnchor(chosen.path());
            PictureTool::settle(400);
            save(frame, out + QStringLiteral("/inspector-file-%1.png").arg(look));
            state.setAnchor(library.items().first().path());
            state.setVisible(library.items().mid(0, 3));
            PictureTool::settle(300);
            save(frame, out + QStringLiteral("/inspector-document-%1.png").arg(look));
            layout->removeWidget(&inspector);
        }
        {
            Backdrop host;
            host.resize(720, 160);
            Toast toast(trasher, &host);
            host.show();
            trasher.show(QStringLiteral("Moved 3 items to the Trash · 1.2 GB freed"), true);
            PictureTool::settle(600);
            save(host, out + QStringLiteral("/toast-undo-%1.png").arg(look));
            trasher.show(QStringLiteral("Copied text"), false);
            PictureTool::settle(120);
            save(host, out + QStringLiteral("/toast-changing-%1.png").arg(look));
            PictureTool::settle(500);
            save(host, out + QStringLiteral("/toast-plain-%1.png").arg(look));
        }
        {
            Backdrop bar;
            auto *layout = new QHBoxLayout(&bar);
            layout->setContentsMargins(12, 10, 12, 10);
            layout->setSpacing(4);
            BarButton grid(QStringLiteral("square.grid.2x2"), QStringLiteral("Grid"));
            BarButton list(QStringLiteral("list.bullet"), QStringLiteral("List"));
            BarButton refresh(QStringLiteral("arrow.clockwise"), QStringLiteral("Refresh"));
            BarButton inspect(QStringLiteral("sidebar.right"), QStringLiteral("Inspector"));
            grid.setOn(true);
            for (BarButton *b : {&grid, &list, &refresh, &inspect})
                layout->addWidget(b);
            bar.show();
            PictureTool::settle(30);
            QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
            QCoreApplication::sendEvent(&refresh, &enter);
            PictureTool::settle(30);
            save(bar, out + QStringLiteral("/barbuttons-%1.png").arg(look));
        }
    }
    return 0;
}
