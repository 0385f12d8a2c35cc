#pragma once

#include <QWidget>

class AppState;
class BarButton;
class CatalogStatus;
class Library;
class QAbstractButton;
class QLineEdit;
class SearchBox;
class SortMenuButton;

// The bar across the top of the window's content: the search field, the
// catalog's size, the sort menu, grid and list, refresh and the inspector
// switch. Typing writes the window state's search text; every change of
// that text switches all filter chips back on and clears the selection.
class TopBar final : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kHeight = 54;

    TopBar(AppState &state, Library &library, QWidget *parent = nullptr);

    QLineEdit *searchField() const;
    QAbstractButton *clearButton() const;
    SearchBox &searchBox() const { return *m_box; }
    CatalogStatus &status() const { return *m_status; }
    SortMenuButton &sortButton() const { return *m_sort; }
    BarButton &gridButton() const { return *m_grid; }
    BarButton &listButton() const { return *m_list; }
    BarButton &refreshButton() const { return *m_refresh; }
    BarButton &inspectorButton() const { return *m_inspector; }
    // The search field has the keyboard focus.
    bool searching() const;

private:
    void edited(const QString &text);
    void followQuery();
    void followButtons();

    AppState &m_state;
    SearchBox *m_box;
    CatalogStatus *m_status;
    SortMenuButton *m_sort;
    BarButton *m_grid;
    BarButton *m_list;
    BarButton *m_refresh;
    BarButton *m_inspector;
};
