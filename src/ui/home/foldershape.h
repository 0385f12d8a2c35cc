#pragma once

#include <QPainterPath>
#include <QRectF>

// The outline of a paper folder: a body with rounded corners and, at its top
// left, a tab whose right side slopes down in one smooth curve.
class FolderShape final
{
public:
    FolderShape(qreal tab, qreal radius) : m_tab(tab), m_radius(radius) {}

    qreal tab() const { return m_tab; }
    qreal radius() const { return m_radius; }
    // The closed outline in `rect`.
    QPainterPath path(const QRectF &rect) const;
    // Width of the tab's flat top: 36 % of `rectWidth`, at most 130.
    static qreal tabWidth(qreal rectWidth);

private:
    qreal m_tab;
    qreal m_radius;
};
