#pragma once

#include <QMainWindow>

class AppState;
class Inspector;
class Library;
class PageSwitcher;
class QLineEdit;
class Sidebar;
class Thumbs;
class Toast;
class TopBar;
class Trasher;

// The main window, object name "main": the sidebar, a rule, and a column of
// the top bar over the page with the inspector beside it while it is
// switched on; the toast floats over the bottom edge. The window wears the
// theme's palette, light or dark as the desktop is, and shortly after it
// first appears hands the keyboard from the search field to the file keys.
class MainWindow final : public QMainWindow
{
    Q_OBJECT

public:
    static constexpr int kDefaultWidth = 1220;
    static constexpr int kDefaultHeight = 800;
    static constexpr int kMinWidth = 780;
    static constexpr int kMinHeight = 500;
    // How long after first showing the search field gives the focus up.
    static constexpr int kReleaseFocusMs = 150;

    MainWindow(AppState &state, Library &library, Trasher &trasher, Thumbs &thumbs, QWidget *parent = nullptr);
    ~MainWindow() override;

    QLineEdit *searchField() const;
    TopBar &topBar() const { return *m_topBar; }
    Sidebar &sidebar() const { return *m_sidebar; }
    PageSwitcher &pages() const { return *m_pages; }
    Inspector &inspector() const { return *m_inspector; }
    Toast &toast() const { return *m_toast; }
    // The page on screen: the route's page or the search page.
    QWidget *page() const;

    // The page's file view (the widget marked with the "fileView" property);
    // null on a page without one.
    QWidget *fileView() const;
    // Gives the keyboard to fileView(), else to the page itself, so the file
    // keys work and window activation never hands it back to the search field.
    void focusFiles(Qt::FocusReason reason = Qt::OtherFocusReason);

    // The main window, when there is one.
    static MainWindow *find();
    // What releaseSearchFocus() does once a main window exists: a main window
    // whose focus is in a text field or nowhere gives it to its files.
    static void releaseFocusInMainWindows();
    // Shows `window` (restored when minimised), raises it and gives it the keyboard.
    static void bringForward(QWidget *window);
    // Brings the main window forward with the keyboard on its files: after
    // the preview closes or Quick Search hands over, also with no window manager.
    static void returnKeyboard();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void followInspector();

    AppState &m_state;
    Sidebar *m_sidebar;
    TopBar *m_topBar;
    PageSwitcher *m_pages;
    QWidget *m_inspectorRule;
    Inspector *m_inspector;
    Toast *m_toast = nullptr;
    bool m_shownOnce = false;
};
