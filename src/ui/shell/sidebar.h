#pragma once

#include <QByteArray>
#include <QList>
#include <QScrollArea>

class AppState;
class Library;
class QAbstractButton;
class QMenu;
class QVBoxLayout;
class Route;
class SideRow;

// The column of destinations at the window's left edge: the pages, the kinds
// with their counts, the tidying pages with what they would free, and the
// folders the catalog reads, with a way to add one. Rows follow the window
// state and the catalog as they change.
class Sidebar final : public QScrollArea
{
    Q_OBJECT

public:
    static constexpr int kWidth = 214;

    Sidebar(AppState &state, Library &library, QWidget *parent = nullptr);

    // Every row, top to bottom, the location rows last.
    QList<SideRow *> rows() const;
    // The row that shows `route`; null when there is none.
    SideRow *row(const Route &route) const;
    QAbstractButton *addFolderButton() const { return m_addFolder; }
    // Every entry the keyboard steps through: the rows, then "Add a folder…".
    QList<QAbstractButton *> entries() const;
    // The entry the keyboard is on; -1 while the sidebar has no focus.
    int current() const { return m_cursor; }
    // The context menu of a location row: "Show in Folder", and "Remove from
    // Tovalo" for a folder the user added. The caller owns the menu.
    QMenu *locationMenu(const QByteArray &folder, QWidget *parent = nullptr);

protected:
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void setCurrent(int cursor);
    SideRow *addRow(QVBoxLayout *layout, SideRow *row);
    void addFolder();
    void refreshActive();
    void refreshBadges();
    void refreshLocations();

    AppState &m_state;
    Library &m_library;
    QList<SideRow *> m_rows;
    QList<SideRow *> m_locationRows;
    QList<QByteArray> m_locations;
    QVBoxLayout *m_locationLayout = nullptr;
    QAbstractButton *m_addFolder = nullptr;
    int m_cursor = -1;
};
