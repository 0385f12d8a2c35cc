// Renders the home page of a folder tree to PNG files at a narrow and a wide
// width, light and dark, with one shelf pointed at, for looking at it:
//   QT_QPA_PLATFORM=offscreen tovalo-homepictures HOME OUTDIR
// HOME is read like a demonstration home: its standard folders and Applications.
#include "files/thumbs.h"
#include "home/homepage.h"
#include "home/shelfcard.h"
#include "library/library.h"
#include "state/appstate.h"
#include "theme/appearance.h"
#include "theme/fonts.h"
#include "tidy/pagescroll.h"

#include "picturetool.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QTextStream>

namespace {

void hover(QWidget *widget, const QPointF &at)
{
    QEnterEvent enter(at, at, widget->mapToGlobal(at));
    QCoreApplication::sendEvent(widget, &enter);
    QMouseEvent move(QEvent::MouseMove, at, widget->mapToGlobal(at), Qt::NoButton, Qt::NoButton, {});
    QCoreApplication::sendEvent(widget, &move);
}

void save(QWidget &widget, const QString &file)
{
    widget.grab().save(file);
    QTextStream(stdout) << file << '\n';
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const auto args = PictureTool::arguments(argc, argv, "tovalo-homepictures");
    if (!args)
        return 2;
    const QString &home = args->home;
    const QString &out = args->out;
    Library library(PictureTool::environment(home));

    // The page before the first scan is in.
    {
        HomePage page(AppState::shared(), library, Thumbs::shared());
        page.resize(1000, 700);
        page.show();
        PictureTool::settle(100);
        save(page, out + QStringLiteral("/home-scanning.png"));
    }

    library.rescan(false);
    PictureTool::waitForScan(library, true);
    PictureTool::settle(300);

    for (bool dark : {false, true}) {
        Appearance::shared().setForcedDark(dark);
        const QString look = dark ? QStringLiteral("dark") : QStringLiteral("light");
        for (int width : {600, 1000}) {
            HomePage page(AppState::shared(), library, Thumbs::shared());
            page.resize(width, 900);
            page.show();
            PictureTool::settle(600);
            save(page, out + QStringLiteral("/home-%1-%2.png").arg(width).arg(look));
            // The whole column, below the fold too.
            QWidget *content = page.scroll().widget();
            save(*content, out + QStringLiteral("/home-%1-%2-full.png").arg(width).arg(look));

            ShelfCard *shelf = page.shelves().first();
            hover(shelf, QPointF(shelf->width() / 2.0, 120));
            PictureTool::settle(500);
            save(*shelf, out + QStringLiteral("/shelf-%1-%2-hover.png").arg(width).arg(look));
            save(*content, out + QStringLiteral("/home-%1-%2-hover.png").arg(width).arg(look));
        }
    }
    return 0;
}
