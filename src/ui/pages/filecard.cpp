#include "filecard.h"

#include "files/files.h"
#include "files/thumb.h"
#include "files/thumbs.h"

#include "components/kindtag.h"
#include "model/fmt.h"
#include "theme/symbols.h"
#include "theme/theme.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPaintDevice>
#include <QPainterPath>

#include <cmath>

namespace {

constexpr qreal kWellRadius = 11;
constexpr qreal kCardRadius = FileCard::kCornerRadius;
constexpr qreal kGap = 8;
constexpr qreal kCaptionGap = 2;
constexpr qreal kCaptionInset = 3;
constexpr qreal kInset = 10;
constexpr qreal kAppInset = 20;
constexpr qreal kOverlayInset = 7;
constexpr qreal kButtonPadX = 8;
constexpr qreal kButtonPadY = 4;
constexpr qreal kButtonGap = 4;
constexpr qreal kShadow = 4;

struct CardFonts
{
    QFont name = Theme::font(12.5, QFont::Medium);
    QFont detail = Theme::font(11);
    QFont button = Theme::font(10.5, QFont::DemiBold);
    QFontMetricsF nameMetrics{name};
    QFontMetricsF detailMetrics{detail};
    QFontMetricsF buttonMetrics{button};
};

const CardFonts &fonts()
{
    static const CardFonts made;
    return made;
}

QSizeF buttonSize()
{
    const CardFonts &f = fonts();
    const qreal symbol = Symbols::boxSize(10.5);
    return {2 * kButtonPadX + symbol + kButtonGap + f.buttonMetrics.horizontalAdvance(QStringLiteral("Copy text")),
            2 * kButtonPadY + std::max(symbol, f.buttonMetrics.height())};
}

} // namespace

FileCard::FileCard(Thumbs &thumbs, QObject *parent)
    : QObject(parent), m_thumbs(thumbs), m_pixmaps(600)
{
}

void FileCard::setDark(bool dark)
{
    // Tags are drawn in the appearance's colours.
    if (dark != m_dark)
        m_tags.clear();
    m_dark = dark;
}

qreal FileCard::height(qreal width)
{
    const CardFonts &f = fonts();
    const qreal preview = (width - 2 * kPadding) * 3.0 / 4.0;
    return std::ceil(kPadding + preview + kGap + f.nameMetrics.height() + kCaptionGap +
                     f.detailMetrics.height() + kPadding);
}

QRectF FileCard::previewRect(const QRectF &card)
{
    const qreal width = card.width() - 2 * kPadding;
    return {card.left() + kPadding, card.top() + kPadding, width, width * 3.0 / 4.0};
}

QRectF FileCard::copyButtonRect(const QRectF &card)
{
    const QRectF preview = previewRect(card);
    const QSizeF size = buttonSize();
    return {preview.right() - kOverlayInset - size.width(), preview.bottom() - kOverlayInset - size.height(),
            size.width(), size.height()};
}

bool FileCard::pressPart(const QRectF &card, const FileItem &item, const QPointF &at, bool hovered)
{
    if (!hovered || !showsCopyButton(item) || !copyButtonRect(card).contains(at))
        return false;
    Files::copyText({item});
    return true;
}

QPixmap FileCard::thumbnail(const FileItem &item, const QSizeF &frame, bool shadow) const
{
    const QString key = Thumbs::key(item.path(), kThumbSize) + u'@' + QString::number(int(frame.width())) +
                        u'x' + QString::number(int(frame.height()));
    if (const QPixmap *hit = m_pixmaps.object(key))
        return *hit;
    const QImage image = m_thumbs.cached(item.path(), kThumbSize);
    if (image.isNull())
        return {};
    const QRectF placed = Thumb::placed(QRectF(QPointF(kShadow, kShadow), frame),
                                        image.deviceIndependentSize(), false);
    const qreal ratio = image.devicePixelRatio();
    QPixmap out(QSize(int(std::ceil((frame.width() + 2 * kShadow) * ratio)),
                      int(std::ceil((frame.height() + 2 * kShadow) * ratio))));
    out.setDevicePixelRatio(ratio);
    out.fill(Qt::transparent);
    {
        QPainter p(&out);
        p.setRenderHint(QPainter::Antialiasing);
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        if (shadow && !image.hasAlphaChannel()) {
            // A soft shadow of black at 14 %, radius 5, 2 points down, built
            // from widening translucent rings so it costs nothing per repaint.
            p.setPen(Qt::NoPen);
            for (int ring = 4; ring >= 1; --ring) {
                p.setBrush(QColor(0, 0, 0, int(255 * 0.14 / 4)));
                p.drawRoundedRect(placed.translated(0, 2).adjusted(-ring * 0.9, -ring * 0.9, ring * 0.9, ring * 0.9),
                                  ring, ring);
            }
        }
        p.drawImage(placed, image);
    }
    m_pixmaps.insert(key, new QPixmap(out), 1);
    return out;
}

void FileCard::paintCell(QPainter &p, const QRectF &card, const FileItem &item, bool selected,
                         qreal hover) const
{
    const CardFonts &f = fonts();
    p.setRenderHint(QPainter::Antialiasing);

    // Background and outline: selection first, then hover.
    // `hover` is how far the hover surface and button have faded in, 0…1.
    const bool hovered = hover > 0;
    if (selected || hovered) {
        const QRectF shape = card.adjusted(0.5, 0.5, -0.5, -0.5);
        if (selected) {
            p.setPen(Qt::NoPen);
            p.setBrush(Theme::marker.withOpacity(0.22).resolve(m_dark));
            p.drawRoundedRect(card, kCardRadius, kCardRadius);
            p.setPen(QPen(Theme::ring.resolve(m_dark), 2));
            p.setBrush(Qt::NoBrush);
            p.drawRoundedRect(card.adjusted(1, 1, -1, -1), kCardRadius - 1, kCardRadius - 1);
        } else {
            p.setOpacity(hover);
            p.setPen(QPen(Theme::line.resolve(m_dark), 1));
            p.setBrush(Theme::surface.resolve(m_dark));
            p.drawRoundedRect(shape, kCardRadius, kCardRadius);
            p.setOpacity(1);
        }
    }

    const QRectF preview = previewRect(card);
    p.setPen(Qt::NoPen);
    p.setBrush(Theme::well.resolve(m_dark));
    p.drawRoundedRect(preview, kWellRadius, kWellRadius);

    const bool app = item.kind() == Kind::app;
    const qreal inset = app ? kAppInset : kInset;
    const QRectF frame = preview.adjusted(inset, inset, -inset, -inset);
    const QPixmap picture = thumbnail(item, frame.size(), !app);
    if (picture.isNull())
        Thumb::paint(p, frame, {}, false, m_dark);
    else
        p.drawPixmap(QPointF(frame.left() - kShadow, frame.top() - kShadow), picture);

    p.drawPixmap(preview.topLeft() + QPointF(kOverlayInset, kOverlayInset), tag(item, p));

    if (hovered && showsCopyButton(item)) {
        const QRectF button = copyButtonRect(card);
        p.setOpacity(hover);
        p.setPen(Qt::NoPen);
        p.setBrush(Theme::marker.resolve(m_dark));
        p.drawRoundedRect(button, button.height() / 2, button.height() / 2);
        const qreal symbol = Symbols::boxSize(10.5);
        const QColor ink = Theme::markerInk.resolve(m_dark);
        Symbols::draw(p, QRectF(button.left() + kButtonPadX, button.center().y() - symbol / 2, symbol, symbol),
                      u"text.viewfinder", 10.5, ink, QFont::DemiBold);
        p.setFont(f.button);
        p.setPen(ink);
        p.drawText(QRectF(button.left() + kButtonPadX + symbol + kButtonGap, button.top(),
                          button.width(), button.height()),
                   Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Copy text"));
        p.setOpacity(1);
    }

    // Caption.
    const qreal left = card.left() + kPadding + kCaptionInset;
    const qreal width = card.width() - 2 * (kPadding + kCaptionInset);
    const Caption &text = caption(item, width);
    qreal y = preview.bottom() + kGap;
    p.setFont(f.name);
    p.setPen(Theme::ink.resolve(m_dark));
    p.drawStaticText(QPointF(left, y), text.name);
    y += f.nameMetrics.height() + kCaptionGap;
    p.setFont(f.detail);
    p.setPen(Theme::ink3.resolve(m_dark));
    p.drawStaticText(QPointF(left, y), text.detail);
}

QPixmap FileCard::tag(const FileItem &item, const QPainter &painter) const
{
    // A few dozen labels cover a whole catalog; each is drawn once.
    const QString label = KindTag::label(item);
    const qreal ratio = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
    const QString key = label + u'|' + QString::number(int(item.kind())) + u'|' + QString::number(ratio);
    if (const QPixmap *hit = m_tags.object(key))
        return *hit;
    const QSizeF size = KindTag::measure(label);
    QPixmap out(QSize(int(std::ceil(size.width() * ratio)), int(std::ceil(size.height() * ratio))));
    out.setDevicePixelRatio(ratio);
    out.fill(Qt::transparent);
    {
        QPainter p(&out);
        p.setRenderHint(QPainter::Antialiasing);
        KindTag::paint(p, QPointF(0, 0), label, item.kind(), m_dark);
    }
    m_tags.insert(key, new QPixmap(out), 1);
    return out;
}

const FileCard::Caption &FileCard::caption(const FileItem &item, qreal width) const
{
    // Shaping text is most of a card's cost; a card scrolled past keeps its
    // laid-out lines until the column width changes.
    if (m_captions.size() > 4000)
        m_captions.clear();
    Caption &made = m_captions[item.path()];
    if (made.width == width && made.size == item.size() && made.activity == item.activity())
        return made;
    const CardFonts &f = fonts();
    made.width = width;
    made.size = item.size();
    made.activity = item.activity();
    made.name = QStaticText(f.nameMetrics.elidedText(item.displayName(), Qt::ElideMiddle, width));
    made.name.setTextFormat(Qt::PlainText);
    made.name.prepare(QTransform(), f.name);
    const QString detail = Fmt::size(item.size()) + QStringLiteral(" · ") + Fmt::shortDate(item.activity());
    made.detail = QStaticText(f.detailMetrics.elidedText(detail, Qt::ElideRight, width));
    made.detail.setTextFormat(Qt::PlainText);
    made.detail.prepare(QTransform(), f.detail);
    return made;
}
