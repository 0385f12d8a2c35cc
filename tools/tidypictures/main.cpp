// Renders the clean-up, review, duplicates and sources pages of a folder tree,
// light and dark, to PNG files, for looking at tiles, banners and cards:
//   QT_QPA_PLATFORM=offscreen tovalo-tidypictures HOME OUTDIR
// HOME is read like a demonstration home: its standard folders and Applications.
#include "files/thumbs.h"
#include "library/library.h"
#include "state/appstate.h"
#include "theme/appearance.h"
#include "theme/fonts.h"
#include "tidy/cleanuppage.h"
#include "tidy/cleanupreviewpage.h"
#include "tidy/cleanuptile.h"
#include "tidy/duplicatespage.h"
#include "tidy/sourcespage.h"

#include "picturetool.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEnterEvent>
#include <QTextStream>

namespace {

void shoot(QWidget &page, const QString &file, const std::function<void()> &before = {}, int width = 1000)
{
    page.resize(width, 800);
    page.show();
    PictureTool::settle(300);
    if (before)
        before();
    PictureTool::settle(300);
    page.grab().save(file);
    QTextStream(stdout) << file << '\n';
}

// A hovered tile, as the pointer would leave it.
void hover(QWidget *widget)
{
    QEnterEvent enter(QPointF(10, 10), widget->mapToGlobal(QPointF(10, 10)), widget->mapToGlobal(QPointF(10, 10)));
    QCoreApplication::sendEvent(widget, &enter);
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const auto args = PictureTool::arguments(argc, argv, "tovalo-tidypictures");
    if (!args)
        return 2;
    const QString &home = args->home;
    const QString &out = args->out;
    Library library(PictureTool::environment(home));
    library.rescan(false);
    PictureTool::waitForScan(library, true);
    PictureTool::settle(200);

    // The review page of the fullest card other than the duplicates.
    CleanupKind fullest = CleanupKind::downloads;
    qsizetype most = -1;
    for (const CleanupCard &card : library.cleanup()) {
        if (card.kind != CleanupKind::duplicates && card.items.size() > most) {
            most = card.items.size();
            fullest = card.kind;
        }
    }

    AppState &state = AppState::shared();
    Thumbs &thumbs = Thumbs::shared();
    for (bool dark : {false, true}) {
        Appearance::shared().setForcedDark(dark);
        const QString look = dark ? QStringLiteral("dark") : QStringLiteral("light");
        {
            CleanupPage page(state, library, thumbs);
            shoot(page, out + QStringLiteral("/cleanup-%1.png").arg(look), [&] {
                for (CleanupTile *tile : page.tiles())
                    if (tile->isEnabled()) {
                        hover(tile);
                        break;
                    }
            });
        }
        {
            CleanupReviewPage page(fullest, state, library, thumbs);
            shoot(page, out + QStringLiteral("/review-%1.png").arg(look), [&] {
                // One file unticked and one selected: the states worth looking at.
                if (page.items().size() > 2) {
                    page.toggle(page.items()[1].path());
                    state.setSelection({page.items()[2].path()});
                }
            });
        }
        {
            DuplicatesPage page(state, library, thumbs);
            shoot(page, out + QStringLiteral("/duplicates-%1.png").arg(look));
        }
        {
            SourcesPage page(state, library, thumbs);
            shoot(page, out + QStringLiteral("/sources-%1.png").arg(look));
        }
    }
    // A narrow window: banners with their buttons, two columns of tiles.
    Appearance::shared().setForcedDark(false);
    {
        CleanupPage page(state, library, thumbs);
        shoot(page, out + QStringLiteral("/cleanup-narrow.png"), {}, 560);
    }
    {
        CleanupReviewPage page(fullest, state, library, thumbs);
        shoot(page, out + QStringLiteral("/review-narrow.png"), {}, 560);
    }
    {
        DuplicatesPage page(state, library, thumbs);
        shoot(page, out + QStringLiteral("/duplicates-narrow.png"), {}, 560);
    }
    return 0;
}
