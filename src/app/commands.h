#pragma once

#include <QKeySequence>
#include <QList>
#include <QObject>

class AppState;
class Library;
class QAction;
class QMenu;
class QMenuBar;
class Trasher;

// The menus of the main window and their shortcuts, written the Linux way
// (Ctrl for the other platform's Command key).
class Commands final : public QObject
{
    Q_OBJECT

public:
    static constexpr double kCardStep = 24;

    // Fills `bar`; the actions live as long as this object.
    Commands(QMenuBar *bar, AppState &state, Library &library, Trasher &trasher, QObject *parent = nullptr);

    // Edit ▸ Quick Search from Anywhere: shows or hides the Quick Search
    // panel; whoever owns the panel connects to its triggered().
    QAction *quickSearch() const { return m_quickSearch; }
    // Edit ▸ Settings…
    QAction *settings() const { return m_settings; }
    // Edit ▸ Undo Move to Trash: enabled while the toast offers Undo.
    QAction *undo() const { return m_undo; }
    // Every command, for tests and for windows that want the same shortcuts.
    QList<QAction *> actions() const;

signals:
    void settingsRequested();

private:
    QAction *add(QMenu *menu, const QString &title, const QList<QKeySequence> &keys);
    void copyTextInImages();

    AppState &m_state;
    Library &m_library;
    QAction *m_quickSearch = nullptr;
    QAction *m_settings = nullptr;
    QAction *m_undo = nullptr;
    QList<QAction *> m_actions;
};
