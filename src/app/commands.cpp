#include "commands.h"

#include "files/files.h"
#include "library/library.h"
#include "state/appstate.h"
#include "state/trasher.h"

#include <QAction>
#include <QCoreApplication>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>

Commands::Commands(QMenuBar *bar, AppState &state, Library &library, Trasher &trasher, QObject *parent)
    : QObject(parent), m_state(state), m_library(library)
{
    // No New Window: there is one main window.
    QMenu *file = bar->addMenu(QStringLiteral("&File"));
    QAction *quit = add(file, QStringLiteral("Quit"), {QKeySequence(Qt::CTRL | Qt::Key_Q)});
    quit->setMenuRole(QAction::QuitRole);
    connect(quit, &QAction::triggered, qApp, &QCoreApplication::quit, Qt::QueuedConnection);

    QMenu *edit = bar->addMenu(QStringLiteral("&Edit"));
    m_undo = add(edit, QStringLiteral("Undo Move to Trash"), {QKeySequence(Qt::CTRL | Qt::Key_Z)});
    // Only while the toast offers it: a batch whose offer ran out stays in the Trash.
    const auto followUndo = [this, &trasher] { m_undo->setEnabled(trasher.canUndo()); };
    connect(&trasher, &Trasher::canUndoChanged, m_undo, followUndo);
    followUndo();
    connect(m_undo, &QAction::triggered, &trasher, [&trasher] {
        if (trasher.canUndo())
            trasher.undo();
    });
    edit->addSeparator();
    connect(add(edit, QStringLiteral("Search"), {QKeySequence(Qt::CTRL | Qt::Key_F)}), &QAction::triggered, this,
            [this] { m_state.setFocusSearch(m_state.focusSearch() + 1); });
    // The shortcut is the desktop-wide one, so the menu names none.
    m_quickSearch = add(edit, QStringLiteral("Quick Search from Anywhere"), {});
    connect(add(edit, QStringLiteral("Copy Text in Images"), {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C)}),
            &QAction::triggered, this, &Commands::copyTextInImages);
    edit->addSeparator();
    m_settings = add(edit, QStringLiteral("Settings…"), {QKeySequence(Qt::CTRL | Qt::Key_Comma)});
    m_settings->setMenuRole(QAction::PreferencesRole);
    connect(m_settings, &QAction::triggered, this, &Commands::settingsRequested);

    QMenu *view = bar->addMenu(QStringLiteral("&View"));
    connect(add(view, QStringLiteral("Grid"), {QKeySequence(Qt::CTRL | Qt::Key_1)}), &QAction::triggered, this,
            [this] { m_state.setListMode(false); });
    connect(add(view, QStringLiteral("List"), {QKeySequence(Qt::CTRL | Qt::Key_2)}), &QAction::triggered, this,
            [this] { m_state.setListMode(true); });
    // Ctrl+= is Ctrl and the plus key without Shift; Ctrl++ covers keypads and Shift.
    connect(add(view, QStringLiteral("Bigger Cards"),
                {QKeySequence(Qt::CTRL | Qt::Key_Equal), QKeySequence(Qt::CTRL | Qt::Key_Plus)}),
            &QAction::triggered, this, [this] { m_state.resize(kCardStep); });
    connect(add(view, QStringLiteral("Smaller Cards"), {QKeySequence(Qt::CTRL | Qt::Key_Minus)}),
            &QAction::triggered, this, [this] { m_state.resize(-kCardStep); });
    view->addSeparator();
    connect(add(view, QStringLiteral("Inspector"), {QKeySequence(Qt::CTRL | Qt::Key_I)}), &QAction::triggered, this,
            [this] { m_state.setShowInspector(!m_state.showInspector()); });
    connect(add(view, QStringLiteral("Refresh"), {QKeySequence(Qt::CTRL | Qt::Key_R)}), &QAction::triggered, this,
            [this] { m_library.rescan(false); });

    QMenu *go = bar->addMenu(QStringLiteral("&Go"));
    const auto route = [&](const QString &title, Qt::Key key, const Route &to) {
        connect(add(go, title, {QKeySequence(Qt::CTRL | Qt::SHIFT | key)}), &QAction::triggered, this,
                [this, to] { m_state.go(to); });
    };
    route(QStringLiteral("Home"), Qt::Key_H, Route::home());
    route(QStringLiteral("Recents"), Qt::Key_E, Route::recents());
    go->addSeparator();
    route(QStringLiteral("Duplicates"), Qt::Key_D, Route::duplicates());
    route(QStringLiteral("Clean Up"), Qt::Key_K, Route::cleanup());
    route(QStringLiteral("Downloaded From"), Qt::Key_J, Route::sources());
}

QList<QAction *> Commands::actions() const
{
    return m_actions;
}

QAction *Commands::add(QMenu *menu, const QString &title, const QList<QKeySequence> &keys)
{
    QAction *action = menu->addAction(title);
    action->setShortcuts(keys);
    m_actions.append(action);
    return action;
}

void Commands::copyTextInImages()
{
    QList<FileItem> chosen;
    for (const FileItem &item : m_state.visible())
        if (m_state.selection().contains(item.path()))
            chosen.append(item);
    Files::copyText(chosen);
}
