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

#include "picturetool.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTextStream>

namespace {

void shoot(MainWindow &window, const QString &file)
{
    PictureTool::settle(700);
    window.grab().save(file);
    QTextStream(stdout) << file << '\n';
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const auto args = PictureTool::arguments(argc, argv, "tovalo-windowpictures");
    if (!args)
        return 2;
    const QString &home = args->home;
    const QString &out = args->out;
    qputenv("TOVALO_DEMO_HOME", QFile::encodeName(home));
    Library library(PictureTool::environment(home));
    AppState &state = AppState::shared();
    Trasher::Environment trash;
    trash.library = &library;
    trash.state = &state;
    Trasher trasher(trash);
    MainWindow window(state, library, trasher, Thumbs::shared());
    window.show();
    library.rescan(false);
    PictureTool::waitForScan(library, false);
    PictureTool::settle(500);

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
        PictureTool::settle(200);
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
