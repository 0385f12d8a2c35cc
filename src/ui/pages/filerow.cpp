#include "filerow.h"

#include "files/thumb.h"
#include "files/thumbs.h"

#include "model/fmt.h"
#include "theme/theme.h"

#include <QFileInfo>
#include <QFontMetricsF>
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
    QFontMetricsF monoMetrics{mono};
};

const RowFonts &fonts()
{
    static const RowFonts made;
    return made;
}

} // namespace

FileRow::FileRow(Thumbs &thumbs, QObject *parent)
    : QObject(parent), m_thumbs(thumbs), m_pixmaps(800)
{
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

void FileRow::paintCell(QPainter &p, const QRectF &row, const FileItem &item, bool selected, qreal) const
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

    const Texts &text = texts(item, row.width());
    const qreal top = midY - fonts().smallMetrics.height() / 2;
    const QColor ink3 = Theme::ink3.resolve(m_dark);
    p.setFont(f.small);
    p.setPen(ink3);
    p.drawStaticText(QPointF(right - text.dateWidth, top), text.date);
    right -= kDateWidth + kSpacing;
    const qreal sizeRight = right;
    right -= kSizeWidth + kSpacing;
    p.drawStaticText(QPointF(right - kFolderWidth, top), text.folder);
    right -= kFolderWidth + kSpacing;
    if (text.sourceWidth > 0) {
        p.drawStaticText(QPointF(right - text.sourceWidth, top), text.source);
        right -= text.sourceWidth + kSpacing;
    }
    p.setFont(f.mono);
    p.setPen(Theme::ink2.resolve(m_dark));
    p.drawStaticText(QPointF(sizeRight - text.bytesWidth, midY - f.monoMetrics.height() / 2), text.bytes);

    p.setFont(f.name);
    p.setPen(Theme::ink.resolve(m_dark));
    p.drawStaticText(QPointF(left, midY - f.nameMetrics.height() / 2), text.name);
}

const FileRow::Texts &FileRow::texts(const FileItem &item, qreal width) const
{
    // Shaping text is most of a row's cost; a row scrolled past keeps its
    // laid-out texts until the row width changes.
    if (m_texts.size() > 4000)
        m_texts.clear();
    Texts &made = m_texts[item.path()];
    if (made.width == width && made.size == item.size() && made.activity == item.activity())
        return made;
    const RowFonts &f = fonts();
    const auto prepared = [](const QString &text, const QFont &font) {
        QStaticText out(text);
        out.setTextFormat(Qt::PlainText);
        out.prepare(QTransform(), font);
        return out;
    };
    made.width = width;
    made.size = item.size();
    made.activity = item.activity();
    const QString date = Fmt::shortDate(item.activity());
    made.date = prepared(date, f.small);
    made.dateWidth = std::min(kDateWidth, f.smallMetrics.horizontalAdvance(date));
    const QString bytes = Fmt::size(item.size());
    made.bytes = prepared(bytes, f.mono);
    made.bytesWidth = std::min(kSizeWidth, f.monoMetrics.horizontalAdvance(bytes));
    const QString folder = Fmt::path(QFileInfo(item.pathString()).path());
    made.folder = prepared(f.smallMetrics.elidedText(folder, Qt::ElideLeft, kFolderWidth), f.small);

    // The name starts after the thumbnail and ends before the fixed columns
    // (and the source), keeping at least the flexible gap.
    const qreal fixed = 2 * kPadX + kThumbFrame + kSpacing + kDateWidth + kSizeWidth + kFolderWidth + 3 * kSpacing;
    qreal room = width - fixed;
    made.sourceWidth = 0;
    if (const std::optional<QString> source = item.source()) {
        const qreal wanted = f.smallMetrics.horizontalAdvance(*source);
        const qreal allowed = std::max<qreal>(0, std::min(wanted, room - kMinFlex - 60));
        if (allowed > 0) {
            const QString shown = f.smallMetrics.elidedText(*source, Qt::ElideRight, allowed);
            made.source = prepared(shown, f.small);
            made.sourceWidth = f.smallMetrics.horizontalAdvance(shown);
            room -= made.sourceWidth + kSpacing;
        }
    }
    const qreal nameWidth = std::max<qreal>(0, room - kMinFlex + kSpacing);
    made.name = prepared(f.nameMetrics.elidedText(item.displayName(), Qt::ElideMiddle, nameWidth), f.name);
    return made;
}
