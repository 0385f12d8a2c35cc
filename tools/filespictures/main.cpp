// Renders the file list page of a folder tree as a grid and as a list, light
// and dark, to PNG files, for looking at cards, rows and filters:
//   QT_QPA_PLATFORM=offscreen tovalo-filespictures HOME OUTDIR
// HOME is read like a demonstration home: its standard folders and Applications.
#include "files/previewpanel.h"
#include "files/quicklook.h"
#include "files/thumbs.h"
#include "files/filelistview.h"
#include "pages/filespage.h"
#include "pages/kindpage.h"
#include "library/library.h"
#include "state/appstate.h"
#include "theme/appearance.h"
#include "theme/fonts.h"

#include "picturetool.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QTextStream>

namespace {

void hover(QWidget *viewport, const QPointF &at)
{
    QMouseEvent move(QEvent::MouseMove, at, viewport->mapToGlobal(at), Qt::NoButton, Qt::NoButton, {});
    QCoreApplication::sendEvent(viewport, &move);
}

void shoot(QWidget &page, FileListView &view, const QString &file)
{
    AppState &state = AppState::shared();
    page.resize(1220, 800);
    page.show();
    PictureTool::settle(300);
    // One selected file, one hovered picture: the states worth looking at.
    if (state.visible().size() > 2) {
        state.setSelection({state.visible()[1].path()});
        int picture = -1;
        for (int i = 2; i < std::min<qsizetype>(state.visible().size(), 8); ++i) {
            if (state.visible()[i].kind() == Kind::image) {
                picture = i;
                break;
            }
        }
        if (picture >= 0)
            hover(view.viewport(), view.itemRect(picture).center());
    }
    PictureTool::settle(400);
    page.grab().save(file);
    QTextStream(stdout) << file << '\n';
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const auto args = PictureTool::arguments(argc, argv, "tovalo-filespictures");
    if (!args)
        return 2;
    const QString &home = args->home;
    const QString &out = args->out;
    Library library(PictureTool::environment(home));
    library.rescan(false);
    PictureTool::waitForScan(library, false);
    PictureTool::settle(200);

    for (bool dark : {false, true}) {
        Appearance::shared().setForcedDark(dark);
        const QString look = dark ? QStringLiteral("dark") : QStringLiteral("light");
        for (bool list : {false, true}) {
            AppState::shared().setListMode(list);
            const QString mode = list ? QStringLiteral("list") : QStringLiteral("grid");
            {
                FilesPage recents(QStringLiteral("Recent"), QStringLiteral("The latest files"),
                                  library.recents(), QStringLiteral("clock"), QStringLiteral("Nothing here yet"),
                                  QStringLiteral("Files will show up here as they arrive."));
                shoot(recents, recents.view(), out + QStringLiteral("/recents-%1-%2.png").arg(mode, look));
            }
            for (Kind kind : {Kind::image, Kind::document, Kind::app}) {
                KindPage page(kind, library, AppState::shared(), Thumbs::shared());
                shoot(page, page.filesPage().view(),
                      out + QStringLiteral("/%1-%2-%3.png").arg(Kinds::rawValue(kind), mode, look));
            }
        }
    }
    // The preview panel on the first file of each kind that has a preview of its own.
    Appearance::shared().setForcedDark(false);
    QList<QByteArray> paths;
    for (const FileItem &item : library.items())
        paths.append(item.path());
    QuickLook &look = QuickLook::shared();
    for (const QString &ext : {QStringLiteral("jpg"), QStringLiteral("pdf"), QStringLiteral("mp4"),
                               QStringLiteral("txt"), QStringLiteral("zip")}) {
        const auto at = std::find_if(library.items().begin(), library.items().end(),
                                     [&](const FileItem &item) { return item.ext() == ext; });
        if (at == library.items().end())
            continue;
        look.toggle(paths, int(at - library.items().begin()));
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < 1500 && look.panel()->content() == PreviewPanel::Content::details &&
               ext != QLatin1String("zip"))
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        PictureTool::settle(100);
        const QString file = out + QStringLiteral("/preview-%1.png").arg(ext);
        look.panel()->grab().save(file);
        QTextStream(stdout) << file << '\n';
        look.close();
    }
    return 0;
}
