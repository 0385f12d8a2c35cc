#include "reviewrow.h"

#include "pages/filerow.h"
#include "theme/symbols.h"
#include "theme/theme.h"

#include <QPainter>

ReviewRow::ReviewRow(Thumbs &thumbs, QObject *parent)
    : QObject(parent), m_row(new FileRow(thumbs, this))
{
}

QRectF ReviewRow::tickRect(const QRectF &row)
{
    return {row.left(), row.center().y() - kTick / 2, kTick, kTick};
}

void ReviewRow::setDark(bool dark)
{
    m_dark = dark;
    m_row->setDark(dark);
}

qreal ReviewRow::cellHeight(qreal) const
{
    return FileRow::kHeight;
}

double ReviewRow::thumbSize() const
{
    return FileRow::kThumbSize;
}

void ReviewRow::paintCell(QPainter &p, const QRectF &row, const FileItem &item, bool selected,
                          qreal hover) const
{
    p.setRenderHint(QPainter::Antialiasing);
    const bool spared = m_spared.contains(item.path());
    Symbols::draw(p, tickRect(row), spared ? u"circle" : u"checkmark.circle.fill", kTickSymbol,
                  (spared ? Theme::ink3 : Theme::good).resolve(m_dark));
    m_row->paintCell(p, row.adjusted(kTick + kTickGap, 0, 0, 0), item, selected, hover);
}

bool ReviewRow::pressPart(const QRectF &row, const FileItem &item, const QPointF &at, bool)
{
    if (!tickRect(row).contains(at))
        return false;
    emit tickClicked(item.path());
    return true;
}

std::optional<bool> ReviewRow::checked(const FileItem &item) const
{
    return !m_spared.contains(item.path());
}

void ReviewRow::toggle(const FileItem &item)
{
    emit tickClicked(item.path());
}
