#pragma once

#include "model/fileitem.h"

#include <QList>
#include <QRectF>
#include <QWidget>

class AppState;
class FileCard;
class QVariantAnimation;
class Thumbs;

// The home page's latest files: a few file cards in a grid whose columns
// are 150 to 240 points wide, 8 apart, centred once they reach their widest.
// The cards are painted, not built, and react as cards everywhere do.
class RecentsGrid final : public QWidget
{
    Q_OBJECT

public:
    static constexpr qreal kMinWidth = 150;
    static constexpr qreal kMaxWidth = 240;
    static constexpr qreal kSpacing = 8;

    RecentsGrid(AppState &state, Thumbs &thumbs, QWidget *parent = nullptr);
    ~RecentsGrid() override;

    // Keeps the cards' laid-out captions and pictures when the same files come back.
    void setItems(const QList<FileItem> &items);
    const QList<FileItem> &items() const { return m_items; }

    int columnsFor(qreal width) const;
    qreal columnWidthFor(qreal width) const;
    // Where the card at `index` lies, and which card is under a point (-1 for none).
    QRectF itemRect(int index) const;
    int indexAt(const QPointF &point) const;
    int hoveredIndex() const { return m_hover; }
    bool isSelected(int index) const;

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    void setHover(int index);
    void thumbnailLoaded(const QString &key);
    // The selected card the keyboard's menu belongs to: the anchor, else the first; -1 for none.
    int keyboardIndex() const;

    AppState &m_state;
    Thumbs &m_thumbs;
    FileCard *m_card;
    QList<FileItem> m_items;
    bool m_dark = false;
    bool m_keyboardFocus = false;
    int m_hover = -1;
    int m_leaving = -1;
    qreal m_hoverOpacity = 1;
    QVariantAnimation *m_hoverFade;
    int m_pressIndex = -1;
    QPoint m_pressPos;
};
