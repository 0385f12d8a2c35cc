// Renders the main window of a folder tree to PNG files, light and dark:
// home, a kind page, recents in list mode with the inspector open, and a
// search with its filter chips, one of them switched off.
//   QT_QPA_PLATFORM=offscreen tovalo-windowpictures HOME OUTDIR
// HOME is read like a demonstration home: its standard folders and Applications.
#include "files/thumbs.h"
#include "library/library.h"
#include "shell/mainwindow.h"
#include "state/appstate.h"
#include "state/trasher.h"
#include "theme/appearance.h"
#include "theme/fonts.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTextStream>

namespace {

void settle(int ms)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        Thumbs::shared().waitForDone();
    }
    QCoreApplication::processEvents();
}

void shoot(MainWindow &window, const QString &file)
{
    settle(700);
    window.grab().save(file);
    QTextStream(stdout) << file << '\n';
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (argc != 3) {
        QTextStream(stderr) << "usage: tovalo-windowpictures HOME OUTDIR\n";
        return 2;
    }
    Fonts::ensureLoaded();
    const QString home = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
    const QString out = QString::fromLocal8Bit(argv[2]);
    QDir().mkpath(out);
    QStringList roots;
    for (const char *name : {"Desktop", "Documents", "Downloads", "Pictures", "Movies", "Videos", "Music"})
        if (QDir(home + u'/' + QLatin1String(name)).exists())
            roots.append(home + u'/' + QLatin1String(name));
    qputenv("TOVALO_ROOTS", QFile::encodeName(roots.join(u':')));
    qputenv("TOVALO_APPS", QFile::encodeName(home + QStringLiteral("/Applications")));
    qputenv("TOVALO_DEMO_HOME", QFile::encodeName(home));

    Library::Environment env = Library::Environment::fromProcess();
    env.home = QFile::encodeName(home);
    env.settings = nullptr;
    env.watchFolders = false;
    env.startTextRecognition = [](const QList<FileItem> &) {};
    Library library(env);
    AppState &state = AppState::shared();
    Trasher::Environment trash;
    trash.library = &library;
    trash.state = &state;
    Trasher trasher(trash);
    MainWindow window(state, library, trasher, Thumbs::shared());
    window.show();
    library.rescan(false);
    while (!library.hasScanned() || library.isScanning())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    settle(500);

    for (bool dark : {false, true}) {
        Appearance::shared().setForcedDark(dark);
        const QString look = dark ? QStringLiteral("dark") : QStringLiteral("light");
        state.setListMode(false);
        state.setShowInspector(false);
        state.go(Route::home());
        shoot(window, out + QStringLiteral("/home-%1.png").arg(look));
        state.go(Route::kind(Kind::image));
        shoot(window, out + QStringLiteral("/images-%1.png").arg(look));

        state.go(Route::recents());
        state.setListMode(true);
        state.setShowInspector(true);
        settle(200);
        if (!state.visible().isEmpty())
            state.select(state.visible().first(), false, false);
        shoot(window, out + QStringLiteral("/recents-inspector-%1.png").arg(look));

        state.setListMode(false);
        state.setShowInspector(false);
        state.setQuery(QStringLiteral("pdfs from this year invoice"));
        state.setDroppedChips({QStringLiteral("date")});
        window.searchField()->setFocus();
        shoot(window, out + QStringLiteral("/search-%1.png").arg(look));
        state.setQuery(QStringLiteral("zebra crossing"));
        shoot(window, out + QStringLiteral("/search-empty-%1.png").arg(look));
        state.setQuery(QString());
        window.searchField()->clearFocus();
    }
    return 0;
}
