#pragma once

#include "model/fileitem.h"

#include <QAbstractScrollArea>
#include <QList>
#include <QPointer>
#include <QSet>

class AppState;
class FileRow;
class Thumbs;

// The scrolling body of a review page: a header column on top and under it
// one row per file, each a tick (ticked = will go to the Trash) beside the
// file's list row. Paints only the rows in view, so a card of many thousand
// files costs no more than the scroll range.
class ReviewList final : public QAbstractScrollArea
{
    Q_OBJECT

public:
    static constexpr qreal kSideMargin = 28;
    static constexpr qreal kTopMargin = 26;
    static constexpr qreal kBottomMargin = 26;
    static constexpr qreal kSpacing = 18;
    static constexpr qreal kRowSpacing = 1;
    static constexpr qreal kTick = 30;
    static constexpr qreal kTickGap = 4;
    static constexpr qreal kTickSymbol = 16;

    ReviewList(Thumbs &thumbs, AppState &state, QWidget *parent = nullptr);

    // Takes ownership; it scrolls with the rows and keeps its preferred height.
    void setHeader(QWidget *header);
    void setItems(const QList<FileItem> &items);
    // The unticked files.
    void setSpared(const QSet<QByteArray> &spared);
    void setSelection(const QSet<QByteArray> &selection);

    const QList<FileItem> &items() const { return m_items; }
    const QSet<QByteArray> &spared() const { return m_spared; }
    const QSet<QByteArray> &selection() const { return m_selection; }
    // What clicking the tick of `row` does.
    void toggleTick(int row);
    // Where a row and its tick lie, in viewport coordinates.
    QRectF rowRect(int row) const;
    QRectF tickRect(int row) const;
    // The row under a viewport point; -1 between and outside rows.
    int rowAt(const QPointF &point) const;
    std::pair<int, int> rowsInView() const;
    // Scrolls just far enough to show the file at `path`; nothing when it is not listed.
    void scrollToPath(const QByteArray &path);

signals:
    void tickClicked(const QByteArray &path);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    qreal headerHeight() const;
    qreal rowsTop() const;
    qreal stride() const;
    qreal contentHeight() const;
    void relayout();
    void setDark(bool dark);
    void requestThumbnails(int first, int last);
    // The row Space ticks and the keyboard's menu belongs to: the anchor's, else the first.
    int keyboardRow() const;

    Thumbs &m_thumbs;
    AppState &m_state;
    FileRow *m_row;
    QPointer<QWidget> m_header;
    QList<FileItem> m_items;
    QSet<QByteArray> m_spared;
    QSet<QByteArray> m_selection;
    QSet<QByteArray> m_inView;
    bool m_dark = false;
    bool m_keyboardFocus = false;
    int m_pressRow = -1;
    QPoint m_pressPos;
};
