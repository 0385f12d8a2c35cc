#pragma once

#include <QLayout>
#include <QList>

// A grid of as many equal columns as fit at least `minimum` wide, each
// stretched up to `maximum`; the grid is centred once its columns reach the
// maximum. A row is as tall as its tallest item (height for the column width).
class AdaptiveGridLayout final : public QLayout
{
    Q_OBJECT

public:
    AdaptiveGridLayout(qreal minimum, qreal maximum, qreal columnSpacing, qreal rowSpacing,
                       QWidget *parent = nullptr);
    ~AdaptiveGridLayout() override;

    // How many columns a width holds, and how wide each is.
    int columnsFor(qreal width) const;
    qreal columnWidth(qreal width) const;

    void addItem(QLayoutItem *item) override;
    QLayoutItem *itemAt(int index) const override;
    QLayoutItem *takeAt(int index) override;
    int count() const override;
    QSize sizeHint() const override;
    QSize minimumSize() const override;
    Qt::Orientations expandingDirections() const override;
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    void setGeometry(const QRect &rect) override;

private:
    // Lays the items out in `rect`, moving them only when `apply`; returns the height used.
    qreal arrange(const QRect &rect, bool apply) const;

    qreal m_minimum;
    qreal m_maximum;
    qreal m_columnSpacing;
    qreal m_rowSpacing;
    QList<QLayoutItem *> m_items;
};
