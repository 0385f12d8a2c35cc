#pragma once

#include "model/fileitem.h"
#include "route.h"
#include "sortkey.h"

#include <functional>
#include <optional>
#include <QByteArray>
#include <QList>
#include <QObject>
#include <QSet>
#include <QString>

class PreviewFollower;

// The state of the main window that is not part of the catalog: the page,
// the search text, the selection and keyboard anchor, the files the current
// page shows, how they are presented, and requests one view passes to
// another. Files are named by their native path bytes (FileItem::path).
//
// Main thread only. Every setter compares first: storing an equal value
// changes nothing and emits nothing, so views redraw only on real change.
class AppState final : public QObject
{
    Q_OBJECT

public:
    static constexpr double kMinCardSize = 120;
    static constexpr double kMaxCardSize = 300;

    static AppState &shared();
    explicit AppState(QObject *parent = nullptr);
    ~AppState() override;

    // The page shown while the search text is blank.
    const Route &route() const { return m_route; }
    const QString &query() const { return m_query; }
    // Ids of the filter chips the user removed from the parsed search.
    const QSet<QString> &droppedChips() const { return m_droppedChips; }
    const QSet<QByteArray> &selection() const { return m_selection; }
    // Where keyboard movement, Shift-click ranges, the inspector and Space start.
    const std::optional<QByteArray> &anchor() const { return m_anchor; }
    // The files of the current page in display order, written by the page.
    const QList<FileItem> &visible() const { return m_visible; }
    int columns() const { return m_columns; }
    bool showInspector() const { return m_showInspector; }
    bool listMode() const { return m_listMode; }
    // Minimum card width of the grid, in points.
    double cardSize() const { return m_cardSize; }
    SortKey sort() const { return m_sort; }
    // A request counter: the search field takes the focus whenever it changes.
    int focusSearch() const { return m_focusSearch; }
    // A request to scroll a file into view; kept after scrolling.
    const std::optional<QByteArray> &scrollTarget() const { return m_scrollTarget; }

    void setRoute(const Route &route);
    void setQuery(const QString &query);
    void setDroppedChips(const QSet<QString> &chips);
    void setSelection(const QSet<QByteArray> &selection);
    void setAnchor(const std::optional<QByteArray> &anchor);
    void setVisible(const QList<FileItem> &visible);
    void setColumns(int columns);
    void setShowInspector(bool show);
    void setListMode(bool listMode);
    // Not clamped: only resize() keeps the menu's bounds.
    void setCardSize(double cardSize);
    void setSort(SortKey sort);
    void setFocusSearch(int focusSearch);
    void setScrollTarget(const std::optional<QByteArray> &target);

    // Navigation: shows `route` with a blank search and nothing selected.
    // Presentation, sort, card size, scroll target and `visible` stay.
    void go(const Route &route);
    // A click on a file; `extend` when Ctrl is held, `range` when Shift is.
    void select(const FileItem &item, bool extend, bool range);
    // The files an action on `item` applies to: the selected files of
    // `visible`, in display order, when `item` is one of several selected;
    // otherwise `item` alone.
    QList<FileItem> targets(const FileItem &item) const;
    // Keyboard movement of the single selection, clamped to `visible`; with
    // no usable anchor it lands on the first file whatever the offset.
    void move(int offset);
    // Changes the card size by `delta` points, kept within 120…300.
    void resize(double delta);
    // Makes the selection follow the file the preview panel shows.
    void followPreview();

    // The preview panel, installed by the UI layer; none means no panel
    // (moving does not reach one, following finds nothing). Not owned; the
    // panel uninstalls itself (nullptr) before it goes away.
    void setPreviewFollower(PreviewFollower *follower);

    // Takes the keyboard focus away from the search field so keys reach the
    // file list: in every window whose object name is "main", a text field
    // that has the focus loses it; other windows are left alone.
    static void releaseSearchFocus();
    // The UI layer installs what releaseSearchFocus() does, since windows are
    // out of this layer's reach; with none installed it does nothing.
    static void setSearchFocusRelease(std::function<void()> release);

signals:
    void routeChanged();
    void queryChanged();
    void droppedChipsChanged();
    void selectionChanged();
    void anchorChanged();
    void visibleChanged();
    void columnsChanged();
    void showInspectorChanged();
    void listModeChanged();
    void cardSizeChanged();
    void sortChanged();
    void focusSearchChanged();
    void scrollTargetChanged();

private:
    // Stores `value`; tells readers only when it differs from what was there.
    template <typename T> void publish(T &field, const T &value, void (AppState::*changed)());
    // First position of `path` in `visible`.
    std::optional<qsizetype> indexOf(const QByteArray &path) const;
    // The paths of `visible`, built when first asked for after each change,
    // so repeated moves hand the panel the same shared list.
    const QList<QByteArray> &visiblePaths() const;
    // Selects the one file at `path` and makes it the anchor.
    void selectOnly(const QByteArray &path);

    Route m_route;
    QString m_query;
    QSet<QString> m_droppedChips;
    QSet<QByteArray> m_selection;
    std::optional<QByteArray> m_anchor;
    QList<FileItem> m_visible;
    int m_columns = 4;
    bool m_showInspector = false;
    bool m_listMode = false;
    double m_cardSize = 172;
    SortKey m_sort = SortKey::date;
    int m_focusSearch = 0;
    std::optional<QByteArray> m_scrollTarget;

    PreviewFollower *m_follower = nullptr;
    mutable std::optional<QList<QByteArray>> m_visiblePaths;
};
