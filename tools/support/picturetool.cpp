#include "picturetool.h"

#include "files/thumbs.h"
#include "theme/fonts.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTextStream>

std::optional<PictureTool::Arguments> PictureTool::arguments(int argc, char **argv, const char *tool)
{
    if (argc != 3) {
        QTextStream(stderr) << "usage: " << tool << " HOME OUTDIR\n";
        return std::nullopt;
    }
    Fonts::ensureLoaded();
    Arguments args{QDir(QString::fromLocal8Bit(argv[1])).absolutePath(), QString::fromLocal8Bit(argv[2])};
    QDir().mkpath(args.out);
    return args;
}

Library::Environment PictureTool::environment(const QString &home)
{
    QStringList roots;
    for (const char *name : {"Desktop", "Documents", "Downloads", "Pictures", "Movies", "Videos", "Music"})
        if (QDir(home + u'/' + QLatin1String(name)).exists())
            roots.append(home + u'/' + QLatin1String(name));
    qputenv("TOVALO_ROOTS", QFile::encodeName(roots.join(u':')));
    qputenv("TOVALO_APPS", QFile::encodeName(home + QStringLiteral("/Applications")));

    Library::Environment env = Library::Environment::fromProcess();
    env.home = QFile::encodeName(home);
    env.settings = nullptr;
    env.watchFolders = false;
    env.startTextRecognition = [](const QList<FileItem> &) {};
    return env;
}

void PictureTool::waitForScan(const Library &library, bool duplicates)
{
    while (!library.hasScanned() || library.isScanning() || (duplicates && library.dupScanning()))
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
}

void PictureTool::settle(int ms)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        Thumbs::shared().waitForDone();
    }
    QCoreApplication::processEvents();
}
