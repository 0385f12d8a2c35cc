#include "filerow.h"

#include "filelistmodel.h"
#include "files/thumb.h"
#include "files/thumbs.h"

#include "model/fmt.h"
#include "theme/theme.h"

#include <QDateTime>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QLocale>
#include <QPainter>

#include <cmath>

namespace {

constexpr qreal kPadX = 10;
constexpr qreal kSpacing = 12;
constexpr qreal kThumbFrame = 30;
constexpr qreal kMinFlex = 8;
constexpr qreal kFolderWidth = 190;
constexpr qreal kSizeWidth = 76;
constexpr qreal kDateWidth = 92;
constexpr qreal kRadius = 9;

struct RowFonts
{
    QFont name = Theme::font(13, QFont::Medium);
    QFont small = Theme::font(11);
    QFont mono = Theme::mono();
    QFontMetricsF nameMetrics{name};
    QFontMetricsF smallMetrics{small};
};

const RowFonts &fonts()
{
    static const RowFonts made;
    return made;
}

QString shortDate(Millis date)
{
    return QLocale().toString(QDateTime::fromMSecsSinceEpoch(date).date(), QStringLiteral("MMM d, yyyy"));
}

} // namespace

FileRow::FileRow(Thumbs &thumbs, QObject *parent)
    : QStyledItemDelegate(parent), m_thumbs(thumbs), m_pixmaps(800)
{
}

QSize FileRow::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &) const
{
    return {option.rect.width(), int(kHeight)};
}

void FileRow::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    const auto *model = qobject_cast<const FileListModel *>(index.model());
    if (!model)
        return;
    paintItem(*painter, option.rect, model->item(index.row()), option.state & QStyle::State_Selected);
}

QPixmap FileRow::thumbnail(const FileItem &item, qreal side) const
{
    const QString key = Thumbs::key(item.path(), kThumbSize);
    if (const QPixmap *hit = m_pixmaps.object(key))
        return *hit;
    const QImage image = m_thumbs.cached(item.path(), kThumbSize);
    if (image.isNull())
        return {};
    const qreal ratio = std::max<qreal>(1.0, image.devicePixelRatio());
    const QRectF placed = Thumb::placed(QRectF(0, 0, side, side), image.deviceIndependentSize(), false);
    QPixmap out(QSize(int(std::ceil(placed.width() * ratio)), int(std::ceil(placed.height() * ratio))));
    out.setDevicePixelRatio(ratio);
    out.fill(Qt::transparent);
    {
        QPainter p(&out);
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.drawImage(QRectF(QPointF(0, 0), placed.size()), image);
    }
    m_pixmaps.insert(key, new QPixmap(out), 1);
    return out;
}

void FileRow::paintItem(QPainter &p, const QRectF &row, const FileItem &item, bool selected) const
{
    const RowFonts &f = fonts();
    p.setRenderHint(QPainter::Antialiasing);
    if (selected) {
        p.setPen(Qt::NoPen);
        p.setBrush(Theme::marker.withOpacity(0.28).resolve(m_dark));
        p.drawRoundedRect(row, kRadius, kRadius);
    }

    // Laid out from both ends: fixed columns on the right, the name takes what is left.
    const qreal midY = row.center().y();
    qreal left = row.left() + kPadX;
    qreal right = row.right() - kPadX;

    const QRectF thumbBox(left, midY - kThumbFrame / 2, kThumbFrame, kThumbFrame);
    const QPixmap picture = thumbnail(item, kThumbFrame);
    if (picture.isNull()) {
        Thumb::paint(p, thumbBox, {}, false, m_dark);
    } else {
        const QSizeF size = picture.deviceIndependentSize();
        p.drawPixmap(QPointF(thumbBox.center().x() - size.width() / 2, thumbBox.center().y() - size.height() / 2),
                     picture);
    }
    left += kThumbFrame + kSpacing;

    const QRectF dateBox(right - kDateWidth, row.top(), kDateWidth, row.height());
    right = dateBox.left() - kSpacing;
    const QRectF sizeBox(right - kSizeWidth, row.top(), kSizeWidth, row.height());
    right = sizeBox.left() - kSpacing;
    const QRectF folderBox(right - kFolderWidth, row.top(), kFolderWidth, row.height());
    right = folderBox.left() - kSpacing;

    const QColor ink3 = Theme::ink3.resolve(m_dark);
    p.setFont(f.small);
    p.setPen(ink3);
    p.drawText(dateBox, Qt::AlignRight | Qt::AlignVCenter, shortDate(item.activity()));
    const QString folder = Fmt::path(QFileInfo(item.pathString()).path());
    p.drawText(folderBox, Qt::AlignLeft | Qt::AlignVCenter,
               f.smallMetrics.elidedText(folder, Qt::ElideLeft, kFolderWidth));

    p.setFont(f.mono);
    p.setPen(Theme::ink2.resolve(m_dark));
    p.drawText(sizeBox, Qt::AlignRight | Qt::AlignVCenter, Fmt::size(item.size()));

    if (const std::optional<QString> source = item.source()) {
        const qreal wanted = f.smallMetrics.horizontalAdvance(*source);
        const qreal room = std::max<qreal>(0, right - left - kMinFlex - 60);
        const qreal width = std::min(wanted, room);
        if (width > 0) {
            p.setFont(f.small);
            p.setPen(ink3);
            p.drawText(QRectF(right - width, row.top(), width, row.height()), Qt::AlignRight | Qt::AlignVCenter,
                       f.smallMetrics.elidedText(*source, Qt::ElideRight, width));
            right -= width + kSpacing;
        }
    }

    const qreal nameWidth = std::max<qreal>(0, right - kMinFlex - left + kSpacing);
    p.setFont(f.name);
    p.setPen(Theme::ink.resolve(m_dark));
    p.drawText(QRectF(left, row.top(), nameWidth, row.height()), Qt::AlignLeft | Qt::AlignVCenter,
               f.nameMetrics.elidedText(item.displayName(), Qt::ElideMiddle, nameWidth));
}
