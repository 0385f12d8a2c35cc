#include "quickaccess.h"

#include "appdelegate.h"
#include "commands.h"
#include "devharness.h"

#include "files/files.h"
#include "files/thumbs.h"
#include "library/library.h"
#include "quick/globalshortcut.h"
#include "quick/quicksearch.h"
#include "quick/quicksearchview.h"
#include "tray/menubarlist.h"
#include "tray/trayitem.h"

#include <QAction>
#include <QCursor>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

namespace {

FileItem fileAt(const QByteArray &path)
{
    FileItem::Fields fields;
    fields.path = path;
    return FileItem(fields);
}

QByteArray downloadsFolder()
{
    return Library::shared().downloadsFolder();
}

} // namespace

QuickAccess::QuickAccess(QMainWindow *window, Commands *commands, bool showMenuBar, QObject *parent)
    : QObject(parent)
{
    QuickSearch::shared().setHooks(
        {QuickSearch::desktopHooks().open, QuickSearch::desktopHooks().reveal, &AppDelegate::showMainWindow});
    if (commands)
        connect(commands->quickSearch(), &QAction::triggered, &QuickSearch::shared(), &QuickSearch::toggle);
    m_tray = new TrayItem(&downloadsFolder, Thumbs::shared(), &AppDelegate::showMainWindow, showMenuBar, this);
    if (window)
        addToGoMenu(window);
    registerViews();
}

void QuickAccess::registerHotKey()
{
    GlobalShortcut::shared().registerKey(QKeyCombination(Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_Space),
                                         [] { QuickSearch::shared().toggle(); });
}

void QuickAccess::setShowMenuBar(bool show)
{
    m_tray->setEnabled(show);
}

void QuickAccess::addToGoMenu(QMainWindow *window)
{
    QMenu *go = nullptr;
    for (QAction *action : window->menuBar()->actions()) {
        if (action->menu() && action->text() == QStringLiteral("&Go"))
            go = action->menu();
    }
    if (!go)
        return;
    // The list never disappears silently: with no tray to hold it, it is here.
    go->addSeparator();
    m_latest = go->addAction(QStringLiteral("Latest downloads"));
    connect(m_latest, &QAction::triggered, m_tray, [this] { m_tray->showList(QCursor::pos()); });
    const auto follow = [this](TrayItem::Host host) { m_latest->setVisible(host == TrayItem::Host::none); };
    follow(m_tray->host());
    connect(m_tray, &TrayItem::hostChanged, this, follow);
}

void QuickAccess::registerViews()
{
    DevHarness::View quick;
    quick.takesQuery = true;
    quick.show = [](const std::optional<QString> &query) {
        QuickSearch::shared().show();
        if (query)
            DevHarness::after(0.3, [text = *query] { QuickSearch::shared().model().setText(text); });
    };
    quick.widget = []() -> QWidget * { return QuickSearch::shared().view(); };
    DevHarness::addView(QStringLiteral("quick"), quick);

    DevHarness::View menubar;
    menubar.open = [this] {
        // A titled window of its own, where the tray would show it in a popup.
        auto *list = new MenuBarList(&downloadsFolder, Thumbs::shared());
        list->setAttribute(Qt::WA_DeleteOnClose);
        list->setWindowTitle(QStringLiteral("Latest downloads"));
        list->setFixedSize(MenuBarList::kWidth, 420);
        list->setGeometry(80, 80, MenuBarList::kWidth, 420);
        connect(list, &MenuBarList::openMainRequested, list, &AppDelegate::showMainWindow);
        connect(list, &MenuBarList::openRequested, list, [](const QByteArray &path) { Files::open({fileAt(path)}); });
        connect(list, &MenuBarList::revealRequested, list,
                [](const QByteArray &path) { Files::reveal({fileAt(path)}); });
        list->show();
        list->raise();
        list->activateWindow();
        m_snapshotList = list;
    };
    menubar.widget = [this]() -> QWidget * { return m_snapshotList.data(); };
    DevHarness::addView(QStringLiteral("menubar"), menubar);
}
