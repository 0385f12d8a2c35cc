#include "cleanuptile.h"

#include "roundthumbs.h"
#include "tidytexts.h"

#include "files/thumbs.h"
#include "model/fmt.h"
#include "state/appstate.h"
#include "theme/appearance.h"
#include "theme/symbols.h"
#include "theme/theme.h"

#include <QEnterEvent>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace {

constexpr qreal kRadius = 16;
constexpr qreal kDisc = 32;
constexpr qreal kSymbolSize = 14;
constexpr qreal kChevronSize = 9;
constexpr qreal kBlockGap = 12;
constexpr qreal kLineGap = 3;
constexpr qreal kChevronGap = 4;
constexpr qreal kOverlap = 8;
constexpr qreal kHoverOutline = 0.55;
constexpr qreal kDiscFill = 0.16;
constexpr qreal kDisabledOpacity = 0.5;
constexpr int kPreferredWidth = 260;
constexpr int kMinimumWidth = 150;

QFont titleFont()
{
    return Theme::font(12, QFont::Medium);
}

QFont sizeFont()
{
    return Theme::font(22, QFont::DemiBold, Theme::Design::rounded);
}

QFont countFont()
{
    return Theme::font(11.5);
}

qreal countLineHeight()
{
    return std::max(QFontMetricsF(countFont()).height(), Symbols::boxSize(kChevronSize));
}

qreal tileHeight()
{
    return CleanupTile::kPadding + kDisc + kBlockGap + QFontMetricsF(titleFont()).height() + kLineGap +
           QFontMetricsF(sizeFont()).height() + kLineGap + countLineHeight() + CleanupTile::kPadding;
}

qint64 bytesOf(const QList<FileItem> &items)
{
    qint64 sum = 0;
    for (const FileItem &item : items)
        sum += item.size();
    return sum;
}

} // namespace

CleanupTile::CleanupTile(const CleanupCard &card, AppState &state, Thumbs &thumbs, QWidget *parent)
    : QAbstractButton(parent), m_state(state), m_thumbs(thumbs)
{
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    setFocusPolicy(Qt::TabFocus);
    setAttribute(Qt::WA_Hover);
    Appearance::shared().follow(this, &m_dark);
    connect(this, &QAbstractButton::clicked, this, &CleanupTile::open);
    connect(&thumbs, &Thumbs::loaded, this, &CleanupTile::thumbnailLoaded);
    setCard(card);
}

void CleanupTile::setCard(const CleanupCard &card)
{
    m_card = card;
    m_shown = card.items.mid(0, kThumbCount);
    m_keys = RoundThumbs::keys(m_shown);
    m_sizeText = Fmt::size(bytesOf(card.items));
    m_countText = TidyTexts::items(card.items.size());
    setText(CleanupKinds::title(card.kind));
    RoundThumbs::request(m_thumbs, m_shown);
    update();
}

void CleanupTile::open()
{
    if (m_card.kind == CleanupKind::duplicates)
        m_state.go(Route::duplicates());
    else
        m_state.go(Route::cleanupDetail(m_card.kind));
}

void CleanupTile::thumbnailLoaded(const QString &key)
{
    if (m_keys.contains(key))
        update();
}

QSize CleanupTile::sizeHint() const
{
    return {kPreferredWidth, int(std::ceil(tileHeight()))};
}

QSize CleanupTile::minimumSizeHint() const
{
    return {kMinimumWidth, int(std::ceil(tileHeight()))};
}

int CleanupTile::heightForWidth(int) const
{
    return int(std::ceil(tileHeight()));
}

void CleanupTile::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    if (!isEnabled())
        p.setOpacity(kDisabledOpacity);

    const ThemeColor &tint = Theme::tint(m_card.kind);
    const QRectF bounds = QRectF(rect());
    QPainterPath shape;
    shape.addRoundedRect(bounds, kRadius, kRadius);
    p.fillPath(shape, Theme::surface.resolve(m_dark));
    const bool hot = m_hovered && isEnabled();
    const QColor outline = hot ? tint.withOpacity(kHoverOutline).resolve(m_dark) : Theme::line.resolve(m_dark);
    p.setPen(QPen(outline, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(bounds.adjusted(0.5, 0.5, -0.5, -0.5), kRadius - 0.5, kRadius - 0.5);
    if (hasFocus()) {
        p.setPen(QPen(Theme::ring.resolve(m_dark), 2));
        p.drawRoundedRect(bounds.adjusted(1, 1, -1, -1), kRadius - 1, kRadius - 1);
    }

    // The symbol on its disc, and the thumbnails at the far end of that row.
    const QRectF disc(kPadding, kPadding, kDisc, kDisc);
    p.setPen(Qt::NoPen);
    p.setBrush(tint.withOpacity(kDiscFill).resolve(m_dark));
    p.drawEllipse(disc);
    Symbols::draw(p, disc, CleanupKinds::symbol(m_card.kind), kSymbolSize, tint.resolve(m_dark),
                  QFont::DemiBold);
    const qreal thumbsWidth = RoundThumbs::width(m_shown.size(), kOverlap);
    RoundThumbs::paint(p, QPointF(width() - kPadding - thumbsWidth, disc.center().y() - RoundThumbs::kSide / 2),
                       m_shown, kOverlap, m_thumbs, m_dark);

    const qreal textWidth = width() - 2 * kPadding;
    qreal y = disc.bottom() + kBlockGap;
    const QFont tf = titleFont();
    const QFontMetricsF tfm(tf);
    p.setFont(tf);
    p.setPen(Theme::ink2.resolve(m_dark));
    p.drawText(QPointF(kPadding, y + tfm.ascent()), tfm.elidedText(text(), Qt::ElideRight, textWidth));
    y += tfm.height() + kLineGap;

    const QFont sf = sizeFont();
    const QFontMetricsF sfm(sf);
    p.setFont(sf);
    p.setPen(Theme::ink.resolve(m_dark));
    p.drawText(QPointF(kPadding, y + sfm.ascent()), sfm.elidedText(m_sizeText, Qt::ElideRight, textWidth));
    y += sfm.height() + kLineGap;

    const QFont cf = countFont();
    const QFontMetricsF cfm(cf);
    const qreal line = countLineHeight();
    const QColor faint = Theme::ink3.resolve(m_dark);
    p.setFont(cf);
    p.setPen(faint);
    const qreal countWidth = cfm.horizontalAdvance(m_countText);
    p.drawText(QPointF(kPadding, y + (line - cfm.height()) / 2 + cfm.ascent()), m_countText);
    const qreal box = Symbols::boxSize(kChevronSize);
    Symbols::draw(p, QRectF(kPadding + countWidth + kChevronGap, y + (line - box) / 2, box, box),
                  u"chevron.right", kChevronSize, faint, QFont::Bold);
}

void CleanupTile::enterEvent(QEnterEvent *event)
{
    m_hovered = true;
    update();
    QAbstractButton::enterEvent(event);
}

void CleanupTile::leaveEvent(QEvent *event)
{
    m_hovered = false;
    update();
    QAbstractButton::leaveEvent(event);
}

void CleanupTile::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::EnabledChange)
        update();
    QAbstractButton::changeEvent(event);
}
