#pragma once

#include <QAbstractScrollArea>
#include <QByteArray>
#include <QPointer>
#include <QRectF>
#include <QSet>

#include <optional>

class AppState;
class FileCard;
class FileListModel;
class FileRow;
class QPainter;
class QVariantAnimation;
class Thumbs;

// The scrolling body of a file list page: a header column on top (page
// header, filters, empty state) and under it the files as a grid of cards
// or a list of rows. Places and paints only what is in view, so the number
// of files costs nothing but the scroll range; thumbnails are asked for only
// for the cards and rows being painted.
class FileGridView final : public QAbstractScrollArea
{
    Q_OBJECT

public:
    static constexpr qreal kSideMargin = 26;
    static constexpr qreal kTopMargin = 24;
    static constexpr qreal kBottomMargin = 24;
    static constexpr qreal kSpacing = 18;
    static constexpr qreal kGridSpacing = 8;
    static constexpr qreal kRowSpacing = 1;
    static constexpr double kMaxCardFactor = 1.6;

    FileGridView(FileListModel &model, Thumbs &thumbs, AppState &state, QWidget *parent = nullptr);
    ~FileGridView() override;

    // Takes ownership; it scrolls with the files and keeps its preferred height.
    void setHeader(QWidget *header);
    void setListMode(bool listMode);
    void setCardSize(double cardSize);
    void setSelection(const QSet<QByteArray> &selection);
    void setDark(bool dark);
    // Scrolls just far enough to show the file at `row`; no preferred edge.
    void scrollToRow(int row, bool animated);

    bool listMode() const { return m_listMode; }
    // How many cards a row of the grid holds and how wide each is.
    int gridColumns() const;
    qreal columnWidth() const;
    // Where the file at `row` lies, in viewport coordinates.
    QRectF itemRect(int row) const;
    // The file under a viewport point; -1 on the background.
    int rowAt(const QPointF &point) const;
    // The first and last rows that are at least partly in view; empty is (0, -1).
    std::pair<int, int> rowsInView() const;
    int hoveredRow() const { return m_hover; }
    FileCard &card() const { return *m_card; }
    const FileListModel &model() const { return m_model; }
    const QSet<QByteArray> &selection() const { return m_selection; }
    // The file the keyboard is on.
    std::optional<QByteArray> anchor() const;
    FileRow &row() const { return *m_row; }

signals:
    // The width of the scrolled content, whenever it changes.
    void contentWidthChanged(qreal width);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    bool viewportEvent(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    qreal headerHeight() const;
    qreal filesTop() const;
    qreal cellHeight() const;
    qreal stride() const;
    qreal filesLeft() const;
    qreal contentHeight() const;
    void relayout();
    void setHover(int row);
    void requestThumbnails(int first, int last);
    void paintFocus(QPainter &p, int first, int last) const;
    void announceAnchor();
    // The selected file the keyboard's menu belongs to: the anchor, else the first; -1 for none.
    int keyboardRow() const;
    void thumbnailLoaded(const QString &key);

    FileListModel &m_model;
    Thumbs &m_thumbs;
    AppState &m_state;
    FileCard *m_card;
    FileRow *m_row;
    QPointer<QWidget> m_header;
    bool m_listMode = false;
    double m_cardSize = 172;
    QSet<QByteArray> m_selection;
    bool m_dark = false;
    bool m_keyboardFocus = false;
    int m_hover = -1;
    // The card the pointer left, fading out while the hovered one fades in.
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
