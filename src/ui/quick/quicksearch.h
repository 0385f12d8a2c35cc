#pragma once

#include "quickmodel.h"

#include "model/fileitem.h"

#include <QList>
#include <QObject>

#include <functional>

class AppState;
class Library;
class QScreen;
class QuickPanel;
class QuickSearchView;
class Thumbs;

// The Quick Search controller: one per process, holding the panel's model
// and, once it has been shown, the panel. The panel is made on the first
// show() and kept; later shows reset the text and selection, place it again
// and bring it forward. It hides (never closes) on Escape, on an action on a
// file, on toggle() and when it loses the keyboard focus.
class QuickSearch final : public QObject
{
    Q_OBJECT

public:
    // What acting on a file reaches outside the panel; tests stand in for
    // the desktop here.
    struct Hooks
    {
        std::function<void(const QList<FileItem> &)> open;
        std::function<void(const QList<FileItem> &)> reveal;
        std::function<void()> showMainWindow;
    };

    static QuickSearch &shared();
    QuickSearch(Library &library, AppState &state, Thumbs &thumbs, QObject *parent = nullptr);
    ~QuickSearch() override;

    QuickModel &model() { return m_model; }
    // Absent until the first show().
    QuickPanel *panel() const { return m_panel; }
    QuickSearchView *view() const { return m_view; }

    void show();
    void hide();
    // Hides a visible panel, shows it otherwise: the hot key and the menu
    // command both do this.
    void toggle();
    bool isVisible() const;

    // Carries out a file action of the panel; the panel is already hidden.
    void perform(QuickModel::Command command, const FileItem &file);

    void setHooks(Hooks hooks) { m_hooks = std::move(hooks); }
    // Files::open, Files::reveal and bringMainWindowForward().
    static Hooks desktopHooks();
    // The window named "main" shown, raised and given the keyboard; without
    // one, the first other top-level window that is not a tool window.
    static void bringMainWindowForward();

    // The screen the panel shows on: the one under the pointer, else the
    // primary one; none without screens.
    static QScreen *targetScreen();

    // Whether the window system lets a window choose its own place; Wayland does not.
    static bool placesWindows(const QString &platformName);

signals:
    void shown();
    void hidden();

private:
    void makePanel();
    // Wayland: over the main window as its transient, which compositors
    // centre on it; the compositor's own choice when the window is closed.
    void placeAsTransient(QScreen *screen);

    Library &m_library;
    AppState &m_state;
    Thumbs &m_thumbs;
    QuickModel m_model;
    QuickPanel *m_panel = nullptr;
    QuickSearchView *m_view = nullptr;
    Hooks m_hooks;
};
