#include "quickrow.h"

#include "files/thumb.h"
#include "files/thumbs.h"
#include "model/fmt.h"
#include "theme/theme.h"

#include <QFileInfo>
#include <QFontMetricsF>
#include <QPainter>

namespace {

constexpr qreal kPadX = 10;
constexpr qreal kThumbShown = 34;
constexpr qreal kGap = 12;

struct RowFonts
{
    QFont name = Theme::font(13.5, QFont::Medium);
    QFont small = Theme::font(11);
};

const RowFonts &fonts()
{
    static const RowFonts made;
    return made;
}

} // namespace

void QuickRow::paintCell(QPainter &p, const QRectF &row, const FileItem &item, bool selected, qreal) const
{
    const RowFonts &f = fonts();
    p.setRenderHint(QPainter::Antialiasing);
    if (selected) {
        p.setPen(Qt::NoPen);
        p.setBrush(Theme::marker.withOpacity(0.5).resolve(m_dark));
        p.drawRoundedRect(row, kRadius, kRadius);
    }
    const qreal midY = row.center().y();
    const qreal left = row.left() + kPadX;
    const qreal right = row.right() - kPadX;
    Thumb::paint(p, QRectF(left, midY - kThumbShown / 2, kThumbShown, kThumbShown),
                 m_thumbs.cached(item.path(), kThumbSize), false, m_dark);

    const QFontMetricsF smallMetrics(f.small);
    const QString date = Fmt::shortDate(item.activity());
    const qreal dateWidth = smallMetrics.horizontalAdvance(date);
    p.setFont(f.small);
    p.setPen(Theme::ink3.resolve(m_dark));
    p.drawText(QRectF(right - dateWidth, row.top(), dateWidth + 1, row.height()), Qt::AlignRight | Qt::AlignVCenter,
               date);

    const qreal textLeft = left + kThumbShown + kGap;
    const qreal textWidth = std::max<qreal>(0, right - dateWidth - kGap - textLeft);
    const QFontMetricsF nameMetrics(f.name);
    const qreal block = nameMetrics.height() + 1 + smallMetrics.height();
    const qreal top = midY - block / 2;
    p.setFont(f.name);
    p.setPen(Theme::ink.resolve(m_dark));
    p.drawText(QRectF(textLeft, top, textWidth, nameMetrics.height()), Qt::AlignLeft | Qt::AlignVCenter,
               nameMetrics.elidedText(item.displayName(), Qt::ElideMiddle, textWidth));
    const QString folder = Fmt::path(QFileInfo(item.pathString()).path());
    p.setFont(f.small);
    p.setPen(Theme::ink3.resolve(m_dark));
    p.drawText(QRectF(textLeft, top + nameMetrics.height() + 1, textWidth, smallMetrics.height()),
               Qt::AlignLeft | Qt::AlignVCenter, smallMetrics.elidedText(folder, Qt::ElideLeft, textWidth));
}
