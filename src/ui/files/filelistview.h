#pragma once

#include "filelistlayout.h"

#include <optional>
#include <QAbstractScrollArea>
#include <QByteArray>
#include <QPointer>
#include <QRectF>
#include <QSet>

class AppState;
class FileListDelegate;
class FileListModel;
class QPainter;
class QVariantAnimation;
class Thumbs;

// Every painted list of files: the file pages' grid and list, the review
// list, the home page's latest files. A model gives the files, a delegate
// paints each cell, a layout places them, optionally under a header that
// scrolls with them. Only what is in view is placed, painted and asked a
// thumbnail for, so the number of files costs nothing but the scroll range.
// The pointer and the keyboard act through one path: a click selects, a
// double-click opens, a drag carries the file out, the menu is the file's
// (or from the keyboard the selection's), Space ticks a check-box cell.
class FileListView final : public QAbstractScrollArea
{
    Q_OBJECT

public:
    // Starts with `delegate` (not owned) and `layout`; both may change later.
    FileListView(FileListModel &model, FileListDelegate &delegate, const FileListLayout &layout, Thumbs &thumbs,
                 AppState &state, QWidget *parent = nullptr);
    ~FileListView() override;

    void setDelegate(FileListDelegate *delegate);
    void setFlow(const FileListLayout &layout);
    // Takes ownership; it scrolls with the files and keeps its preferred height.
    void setHeader(QWidget *header);
    void setDark(bool dark);
    // What a screen reader calls the list ("Files", "Fresh in").
    void setSpokenName(const QString &name) { m_spokenName = name; }
    const QString &spokenName() const { return m_spokenName; }
    // Scrolls just far enough to show the file at `row`; no preferred edge.
    void scrollToRow(int row, bool animated);

    FileListDelegate &delegate() const { return *m_delegate; }
    const FileListLayout &flow() const { return m_layout; }
    const FileListModel &model() const { return m_model; }
    const QSet<QByteArray> &selection() const;
    // The file the keyboard is on.
    std::optional<QByteArray> anchor() const;
    // How many cells a line holds and how wide each is.
    int gridColumns() const;
    qreal columnWidth() const;
    // Where the file at `row` lies, in viewport coordinates.
    QRectF itemRect(int row) const;
    // The file under a viewport point; -1 on the background.
    int rowAt(const QPointF &point) const;
    // The first and last rows that are at least partly in view; empty is (0, -1).
    std::pair<int, int> rowsInView() const;
    int hoveredRow() const { return m_hover; }
    // The row Space ticks: the anchor's, else the first; -1 when empty.
    int currentRow() const;
    // Tells a screen reader the file at `row` is where the keys are now.
    void announceRow(int row);

    bool hasHeightForWidth() const override;
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    // The width of the scrolled content, whenever it changes.
    void contentWidthChanged(qreal width);
    // The left button went down and came up on the file at `row`, with no drag.
    void released(int row, Qt::KeyboardModifiers modifiers);

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
    void wheelEvent(QWheelEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    bool viewportEvent(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    qreal headerHeight(qreal width) const;
    qreal filesTop(qreal width) const;
    qreal cellHeight(qreal width) const;
    qreal stride(qreal width) const;
    qreal contentHeight(qreal width) const;
    int scrolled() const;
    void relayout();
    void reset();
    void setHover(int row);
    void requestThumbnails(int first, int last);
    void paintFocus(QPainter &p, int first, int last) const;
    void announceAnchor();
    // The selected file the keyboard's menu belongs to: the anchor, else the first; -1 for none.
    int menuRow() const;

    FileListModel &m_model;
    Thumbs &m_thumbs;
    AppState &m_state;
    FileListDelegate *m_delegate;
    FileListLayout m_layout;
    QPointer<QWidget> m_header;
    QString m_spokenName;
    bool m_dark = false;
    bool m_keyboardFocus = false;
    int m_hover = -1;
    // The cell the pointer left, fading out while the hovered one fades in.
    int m_leaving = -1;
    qreal m_hoverOpacity = 1;
    QVariantAnimation *m_hoverFade;
    QVariantAnimation *m_scroll;
    int m_pressRow = -1;
    QPoint m_pressPos;
    qreal m_lastWidth = -1;
    // The files painted last time, whose thumbnails were asked for then.
    QSet<QByteArray> m_inView;
};
