// Renders everything a user can open around the pages, light and dark, to PNG
// files: every page at 780 × 500, 1220 × 800 and 1920 × 1080; each menu of the
// menu bar, the file and folder context menus and the sort menu drawn over
// the window; a tool tip; a scroll bar; the settings window; the preview
// panel with its place over the main window; and Qt's own folder picker.
//   QT_QPA_PLATFORM=offscreen tovalo-framepictures HOME OUTDIR
// HOME is read like a demonstration home: its standard folders and Applications.
// With TOVALO_STOCK_STYLE set, the pictures show Qt's own look instead.
#include "commands.h"

#include "files/fileinteractions.h"
#include "files/previewpanel.h"
#include "files/quicklook.h"
#include "files/thumbs.h"
#include "library/library.h"
#include "settings/settingswindow.h"
#include "shell/apptheme.h"
#include "shell/mainwindow.h"
#include "shell/sidebar.h"
#include "shell/sortmenubutton.h"
#include "shell/topbar.h"
#include "state/appstate.h"
#include "state/trasher.h"
#include "theme/appearance.h"

#include "picturetool.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QScreen>
#include <QScrollBar>
#include <QSettings>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>
#include <QToolTip>

namespace {

struct Page
{
    const char *name;
    Route route;
};

void saved(const QImage &image, const QString &file)
{
    image.save(file);
    QTextStream(stdout) << file << '\n';
}

QImage shot(QWidget &widget, int settleMs = 500)
{
    PictureTool::settle(settleMs);
    return widget.grab().toImage();
}

// A pop-up drawn where it would open over the window, with its own see-through corners.
QImage over(const QImage &window, QWidget &popup, const QPoint &at)
{
    QImage out = window.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QPainter p(&out);
    p.drawImage(at, popup.grab().toImage());
    return out;
}

QImage menuOver(MainWindow &window, QMenu &menu, const QPoint &at)
{
    menu.popup(window.mapToGlobal(at));
    PictureTool::settle(150);
    const QImage out = over(window.grab().toImage(), menu, at);
    menu.close();
    return out;
}

// The first top-level widget of a class, such as Qt's tool-tip label.
QWidget *topLevelOf(const char *className)
{
    for (QWidget *top : QApplication::topLevelWidgets())
        if (top->inherits(className) && top->isVisible())
            return top;
    return nullptr;
}

QAbstractScrollArea *firstScrolling(QWidget *root)
{
    for (QAbstractScrollArea *area : root->findChildren<QAbstractScrollArea *>())
        if (area->isVisible() && area->verticalScrollBar()->isVisible())
            return area;
    return nullptr;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const auto args = PictureTool::arguments(argc, argv, "tovalo-framepictures");
    if (!args)
        return 2;
    const QString &home = args->home;
    const QString &out = args->out;
    qputenv("TOVALO_DEMO_HOME", QFile::encodeName(home));
    // TOVALO_STOCK_STYLE set: Qt's own look, to compare with.
    if (!qEnvironmentVariableIsSet("TOVALO_STOCK_STYLE"))
        AppTheme::install();
    Library library(PictureTool::environment(home));
    AppState &state = AppState::shared();
    Trasher::Environment trash;
    trash.library = &library;
    trash.state = &state;
    Trasher trasher(trash);
    MainWindow window(state, library, trasher, Thumbs::shared());
    Commands commands(window.menuBar(), state, library, trasher);
    window.show();
    library.rescan(false);
    PictureTool::waitForScan(library, true);
    PictureTool::settle(800);

    QList<Page> pages = {
        {"home", Route::home()},
        {"recents", Route::recents()},
        {"large", Route::large()},
        {"screenshots", Route::screenshots()},
        {"duplicates", Route::duplicates()},
        {"cleanup", Route::cleanup()},
        {"review", Route::cleanupDetail(CleanupKind::downloads)},
        {"sources", Route::sources()},
    };
    for (Kind kind : Kinds::shelves)
        pages.append({nullptr, Route::kind(kind)});
    if (!library.sources().isEmpty())
        pages.append({"source", Route::source(library.sources().first().name)});
    if (!library.locations().isEmpty())
        pages.append({"folder", Route::folder(library.locations().first())});

    QTemporaryDir config;
    QSettings settings(config.filePath(QStringLiteral("settings.conf")), QSettings::IniFormat);
    const QList<QSize> sizes = {{780, 500}, {1220, 800}, {1920, 1080}};

    for (bool dark : {false, true}) {
        Appearance::shared().setForcedDark(dark);
        const QString look = dark ? QStringLiteral("dark") : QStringLiteral("light");
        const auto file = [&](const QString &name) { return out + u'/' + name + u'-' + look + QStringLiteral(".png"); };

        for (const QSize &size : sizes) {
            window.resize(size);
            const QString at = QStringLiteral("%1x%2").arg(size.width()).arg(size.height());
            for (const Page &page : pages) {
                state.go(page.route);
                const QString name = page.name ? QString::fromLatin1(page.name)
                                               : Kinds::title(*page.route.asKind()).toLower();
                saved(shot(window), file(QStringLiteral("page-%1-%2").arg(name, at)));
            }
            state.setQuery(QStringLiteral("pdfs from this year"));
            saved(shot(window), file(QStringLiteral("page-search-%1").arg(at)));
            state.setQuery(QString());
        }
        window.resize(MainWindow::kDefaultWidth, MainWindow::kDefaultHeight);

        // A kind page opened before the catalog is in, as a launch with a route does.
        {
            Library late(PictureTool::environment(home));
            MainWindow second(state, late, trasher, Thumbs::shared());
            state.go(Route::kind(Kind::image));
            second.show();
            late.rescan(false);
            PictureTool::waitForScan(late, false);
            saved(shot(second), file(QStringLiteral("images-opened-first")));
            second.close();
        }

        // Each menu of the menu bar, under its title.
        state.go(Route::recents());
        state.setListMode(false);
        PictureTool::settle(300);
        for (QAction *top : window.menuBar()->actions()) {
            QMenu *menu = top->menu();
            if (!menu)
                continue;
            const QPoint below = window.menuBar()->actionGeometry(top).bottomLeft() + QPoint(0, 1);
            saved(menuOver(window, *menu, below), file(QStringLiteral("menu-") + top->text().remove(u'&').toLower()));
        }

        // The file context menu: one file, then three selected.
        if (!state.visible().isEmpty()) {
            const FileItem first = state.visible().first();
            state.select(first, false, false);
            QMenu *one = FileInteractions::menu(first, state, &window);
            saved(menuOver(window, *one, QPoint(300, 220)), file(QStringLiteral("menu-context-file")));
            delete one;
            if (state.visible().size() >= 3) {
                state.setSelection({state.visible().at(0).path(), state.visible().at(1).path(),
                                    state.visible().at(2).path()});
                QMenu *three = FileInteractions::menu(first, state, &window);
                saved(menuOver(window, *three, QPoint(300, 220)), file(QStringLiteral("menu-context-three")));
                delete three;
            }
            state.setSelection({});
        }
        if (auto *sidebar = window.findChild<Sidebar *>(); sidebar && !library.locations().isEmpty()) {
            QMenu *folder = sidebar->locationMenu(library.locations().first(), &window);
            saved(menuOver(window, *folder, QPoint(120, 560)), file(QStringLiteral("menu-context-folder")));
            delete folder;
        }
        if (auto *bar = window.findChild<TopBar *>()) {
            SortMenuButton &sort = bar->sortButton();
            if (QMenu *menu = sort.menu()) {
                const QPoint below = sort.mapTo(&window, QPoint(0, sort.height() + 2));
                saved(menuOver(window, *menu, below), file(QStringLiteral("menu-sort")));
            }
        }

        // A tool tip, where the pointer would rest.
        QToolTip::showText(window.mapToGlobal(QPoint(400, 300)), QStringLiteral("Show the inspector"), &window);
        PictureTool::settle(150);
        if (QWidget *tip = topLevelOf("QTipLabel"))
            saved(over(window.grab().toImage(), *tip, QPoint(400, 300)), file(QStringLiteral("tooltip")));
        QToolTip::hideText();

        // A scroll bar: the recents list, scrolled part way, and the bar itself drawn large.
        state.setListMode(true);
        PictureTool::settle(300);
        if (QAbstractScrollArea *area = firstScrolling(window.page())) {
            QScrollBar *bar = area->verticalScrollBar();
            bar->setValue(bar->maximum() / 3);
            saved(shot(window, 300), file(QStringLiteral("scrollbar-page")));
            const QImage strip = bar->grab().toImage();
            saved(strip.scaled(strip.size() * 3), file(QStringLiteral("scrollbar-zoomed")));
            bar->setValue(0);
        }
        state.setListMode(false);

        // Settings, as it opens.
        SettingsWindow settingsWindow(&settings, {[] { return false; }, [](bool) { return true; }});
        settingsWindow.show();
        saved(shot(settingsWindow, 300), file(QStringLiteral("settings")));
        QTextStream(stdout) << "settings " << settingsWindow.width() << 'x' << settingsWindow.height() << " screen "
                            << settingsWindow.screen()->availableGeometry().width() << 'x'
                            << settingsWindow.screen()->availableGeometry().height() << '\n';
        if (auto *scroll = settingsWindow.findChild<QAbstractScrollArea *>()) {
            scroll->verticalScrollBar()->setValue(scroll->verticalScrollBar()->maximum());
            saved(shot(settingsWindow, 200), file(QStringLiteral("settings-end")));
        }
        settingsWindow.close();

        // The preview panel over the window: a picture, then a file shown by its details.
        window.move(200, 100);
        if (!state.visible().isEmpty()) {
            QList<QByteArray> paths;
            for (const FileItem &item : state.visible())
                paths.append(item.path());
            QuickLook &preview = QuickLook::shared();
            preview.toggle(paths, 0);
            if (PreviewPanel *panel = preview.panel()) {
                saved(shot(*panel, 700), file(QStringLiteral("preview")));
                QTextStream(stdout) << "preview window=" << window.frameGeometry().x() << ',' << window.frameGeometry().y()
                                    << ' ' << window.width() << 'x' << window.height() << " panel="
                                    << panel->frameGeometry().x() << ',' << panel->frameGeometry().y() << ' '
                                    << panel->width() << 'x' << panel->height() << '\n';
                for (qsizetype i = 0; i < state.visible().size(); ++i) {
                    if (state.visible().at(i).kind() == Kind::document || state.visible().at(i).kind() == Kind::archive) {
                        panel->setCurrentIndex(int(i));
                        break;
                    }
                }
                saved(shot(*panel, 700), file(QStringLiteral("preview-details")));
            }
            preview.close();
        }

        // Qt's own folder picker, as "Add a folder…" opens it where no desktop dialog is offered.
        QFileDialog picker(&window, QStringLiteral("Add a Folder"), home);
        picker.setOption(QFileDialog::DontUseNativeDialog);
        picker.setFileMode(QFileDialog::Directory);
        picker.setOption(QFileDialog::ShowDirsOnly);
        picker.setLabelText(QFileDialog::Accept, QStringLiteral("Add"));
        picker.resize(760, 480);
        picker.show();
        saved(shot(picker, 500), file(QStringLiteral("folder-picker")));
        picker.close();
    }
    return 0;
}
