#include "sourcecard.h"

#include "roundthumbs.h"
#include "sourcetint.h"
#include "tidytexts.h"

#include "files/thumbs.h"
#include "state/appstate.h"
#include "theme/appearance.h"
#include "theme/theme.h"

#include <QEnterEvent>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QTextBoundaryFinder>

#include <cmath>

namespace {

constexpr qreal kRadius = 14;
constexpr qreal kBadge = 36;
constexpr qreal kBadgeRadius = 10;
constexpr qreal kBadgeFill = 0.16;
constexpr qreal kHoverOutline = 0.55;
constexpr qreal kGap = 10;
constexpr qreal kLineGap = 2;
constexpr qreal kOverlap = 8;
constexpr int kPreferredWidth = 280;
constexpr int kMinimumWidth = 160;

QFont initialFont()
{
    return Theme::font(15, QFont::Bold, Theme::Design::rounded);
}

QFont nameFont()
{
    return Theme::font(13, QFont::DemiBold);
}

QFont detailFont()
{
    return Theme::font(11);
}

int cardHeight()
{
    const qreal texts = QFontMetricsF(nameFont()).height() + kLineGap + QFontMetricsF(detailFont()).height();
    return int(std::ceil(2 * SourceCard::kPadding + std::max(kBadge, texts)));
}

} // namespace

SourceCard::SourceCard(const SourceGroup &group, AppState &state, Thumbs &thumbs, QWidget *parent)
    : QAbstractButton(parent), m_state(state), m_thumbs(thumbs)
{
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    setFocusPolicy(Qt::TabFocus);
    setAttribute(Qt::WA_Hover);
    Appearance::shared().follow(this, &m_dark);
    connect(this, &QAbstractButton::clicked, this, &SourceCard::open);
    connect(&thumbs, &Thumbs::loaded, this, &SourceCard::thumbnailLoaded);
    setGroup(group);
}

void SourceCard::setGroup(const SourceGroup &group)
{
    m_group = group;
    m_shown = group.items.mid(0, kThumbCount);
    m_keys = RoundThumbs::keys(m_shown);
    m_initial = initialOf(group.name);
    m_detail = TidyTexts::sourceFiles(group.items.size(), group.size);
    setText(group.name);
    RoundThumbs::request(m_thumbs, m_shown);
    update();
}

QString SourceCard::initialOf(const QString &name)
{
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, name);
    const qsizetype end = finder.toNextBoundary();
    return end <= 0 ? QString() : name.left(end).toUpper();
}

void SourceCard::open()
{
    m_state.go(Route::source(m_group.name));
}

void SourceCard::thumbnailLoaded(const QString &key)
{
    if (m_keys.contains(key))
        update();
}

QSize SourceCard::sizeHint() const
{
    return {kPreferredWidth, cardHeight()};
}

QSize SourceCard::minimumSizeHint() const
{
    return {kMinimumWidth, cardHeight()};
}

int SourceCard::heightForWidth(int) const
{
    return cardHeight();
}

void SourceCard::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);

    const ThemeColor &tint = sourceTint(m_group.name);
    const QRectF bounds = QRectF(rect());
    QPainterPath shape;
    shape.addRoundedRect(bounds, kRadius, kRadius);
    p.fillPath(shape, Theme::surface.resolve(m_dark));
    const QColor outline =
        m_hovered ? tint.withOpacity(kHoverOutline).resolve(m_dark) : Theme::line.resolve(m_dark);
    p.setPen(QPen(outline, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(bounds.adjusted(0.5, 0.5, -0.5, -0.5), kRadius - 0.5, kRadius - 0.5);
    if (hasFocus()) {
        p.setPen(QPen(Theme::ring.resolve(m_dark), 2));
        p.drawRoundedRect(bounds.adjusted(1, 1, -1, -1), kRadius - 1, kRadius - 1);
    }

    const qreal midY = bounds.center().y();
    const QRectF badge(kPadding, midY - kBadge / 2, kBadge, kBadge);
    p.setPen(Qt::NoPen);
    p.setBrush(tint.withOpacity(kBadgeFill).resolve(m_dark));
    p.drawRoundedRect(badge, kBadgeRadius, kBadgeRadius);
    p.setFont(initialFont());
    p.setPen(tint.resolve(m_dark));
    p.drawText(badge, Qt::AlignCenter, m_initial);

    const qreal thumbsWidth = RoundThumbs::width(m_shown.size(), kOverlap);
    const qreal thumbsLeft = width() - kPadding - thumbsWidth;
    RoundThumbs::paint(p, QPointF(thumbsLeft, midY - RoundThumbs::kSide / 2), m_shown, kOverlap, m_thumbs,
                       m_dark);

    const qreal left = badge.right() + kGap;
    const qreal textWidth = std::max<qreal>(0, (m_shown.isEmpty() ? width() - kPadding : thumbsLeft - kGap) - left);
    const QFont nf = nameFont();
    const QFont df = detailFont();
    const QFontMetricsF nfm(nf);
    const QFontMetricsF dfm(df);
    const qreal top = midY - (nfm.height() + kLineGap + dfm.height()) / 2;
    p.setFont(nf);
    p.setPen(Theme::ink.resolve(m_dark));
    p.drawText(QPointF(left, top + nfm.ascent()), nfm.elidedText(text(), Qt::ElideRight, textWidth));
    p.setFont(df);
    p.setPen(Theme::ink3.resolve(m_dark));
    p.drawText(QPointF(left, top + nfm.height() + kLineGap + dfm.ascent()),
               dfm.elidedText(m_detail, Qt::ElideRight, textWidth));
}

void SourceCard::enterEvent(QEnterEvent *event)
{
    m_hovered = true;
    update();
    QAbstractButton::enterEvent(event);
}

void SourceCard::leaveEvent(QEvent *event)
{
    m_hovered = false;
    update();
    QAbstractButton::leaveEvent(event);
}
