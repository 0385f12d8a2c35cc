#include "adaptivegridlayout.h"

#include <QWidget>

#include <algorithm>
#include <cmath>

AdaptiveGridLayout::AdaptiveGridLayout(qreal minimum, qreal maximum, qreal columnSpacing, qreal rowSpacing,
                                       QWidget *parent)
    : QLayout(parent), m_minimum(minimum), m_maximum(maximum), m_columnSpacing(columnSpacing),
      m_rowSpacing(rowSpacing)
{
    setContentsMargins(0, 0, 0, 0);
}

AdaptiveGridLayout::~AdaptiveGridLayout()
{
    qDeleteAll(m_items);
}

int AdaptiveGridLayout::columnsFor(qreal width) const
{
    return std::max(1, int(std::floor((width + m_columnSpacing) / (m_minimum + m_columnSpacing))));
}

qreal AdaptiveGridLayout::columnWidth(qreal width) const
{
    const int n = columnsFor(width);
    const qreal fitted = (width - (n - 1) * m_columnSpacing) / n;
    return std::clamp(fitted, 0.0, m_maximum);
}

void AdaptiveGridLayout::addItem(QLayoutItem *item)
{
    m_items.append(item);
    invalidate();
}

QLayoutItem *AdaptiveGridLayout::itemAt(int index) const
{
    return m_items.value(index);
}

QLayoutItem *AdaptiveGridLayout::takeAt(int index)
{
    if (index < 0 || index >= m_items.size())
        return nullptr;
    QLayoutItem *item = m_items.takeAt(index);
    invalidate();
    return item;
}

int AdaptiveGridLayout::count() const
{
    return int(m_items.size());
}

QSize AdaptiveGridLayout::sizeHint() const
{
    // Two columns at their narrowest: a page asks for no more than that.
    const int width = int(std::ceil(2 * m_minimum + m_columnSpacing));
    return {width, heightForWidth(width)};
}

QSize AdaptiveGridLayout::minimumSize() const
{
    // The height comes from heightForWidth; a minimum taken at the narrowest
    // width would hold a wide page as tall as a single column of items.
    QSize size;
    for (const QLayoutItem *item : m_items)
        size = size.expandedTo(item->minimumSize());
    return size;
}

Qt::Orientations AdaptiveGridLayout::expandingDirections() const
{
    return Qt::Horizontal;
}

int AdaptiveGridLayout::heightForWidth(int width) const
{
    return int(std::ceil(arrange(QRect(0, 0, width, 0), false)));
}

void AdaptiveGridLayout::setGeometry(const QRect &rect)
{
    QLayout::setGeometry(rect);
    arrange(rect, true);
}

qreal AdaptiveGridLayout::arrange(const QRect &rect, bool apply) const
{
    QList<QLayoutItem *> shown;
    for (QLayoutItem *item : m_items)
        if (!item->isEmpty())
            shown.append(item);
    if (shown.isEmpty())
        return 0;
    const qreal width = rect.width();
    const int n = columnsFor(width);
    const qreal column = columnWidth(width);
    // Only a grid whose columns stopped growing has room to spare, shared on both sides.
    const qreal spare = width - (n * column + (n - 1) * m_columnSpacing);
    const qreal left = rect.left() + std::max(0.0, spare / 2);
    qreal y = rect.top();
    for (qsizetype first = 0; first < shown.size(); first += n) {
        const qsizetype last = std::min<qsizetype>(shown.size(), first + n);
        qreal rowHeight = 0;
        for (qsizetype i = first; i < last; ++i) {
            QLayoutItem *item = shown[i];
            const int w = int(std::floor(column));
            const qreal h = item->hasHeightForWidth() ? item->heightForWidth(w) : item->sizeHint().height();
            rowHeight = std::max(rowHeight, h);
        }
        if (apply) {
            for (qsizetype i = first; i < last; ++i) {
                const qreal x = left + (i - first) * (column + m_columnSpacing);
                const int x0 = int(std::round(x));
                const int x1 = int(std::round(x + column));
                shown[i]->setGeometry(QRect(x0, int(std::round(y)), x1 - x0, int(std::ceil(rowHeight))));
            }
        }
        y += rowHeight + m_rowSpacing;
    }
    return y - m_rowSpacing - rect.top();
}
