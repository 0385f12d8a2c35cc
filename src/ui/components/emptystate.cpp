#include "emptystate.h"

#include "theme/appearance.h"
#include "theme/symbols.h"
#include "theme/theme.h"

#include <cmath>
#include <QFontMetricsF>
#include <QPainter>

namespace {

constexpr qreal kSymbolSize = 30;
constexpr qreal kTitleSize = 16;
constexpr qreal kDetailSize = 13;
constexpr qreal kSpacing = 10;
constexpr qreal kMargin = 70;
// The width asked for when nothing constrains it: room for a sentence or two.
constexpr int kPreferredWidth = 420;

QFont titleFont()
{
    return Theme::font(kTitleSize, QFont::DemiBold, Theme::Design::rounded);
}

QFont detailFont()
{
    return Theme::font(kDetailSize);
}

constexpr int kDetailFlags = Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap;

} // namespace

EmptyState::EmptyState(const QString &symbol, const QString &title, const QString &detail,
                       QWidget *parent)
    : QWidget(parent), m_symbol(symbol), m_title(title), m_detail(detail)
{
    QSizePolicy policy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
    Appearance::shared().follow(this, &m_dark);
}

void EmptyState::setContent(const QString &symbol, const QString &title, const QString &detail)
{
    if (symbol == m_symbol && title == m_title && detail == m_detail)
        return;
    m_symbol = symbol;
    m_title = title;
    m_detail = detail;
    updateGeometry();
    update();
}

EmptyState::Geometry EmptyState::geometryFor(qreal width, qreal height) const
{
    const QFontMetricsF tfm(titleFont());
    const QFontMetricsF dfm(detailFont());
    const qreal symbolSide = Symbols::boxSize(kSymbolSize);
    const QRectF detailBounds =
        dfm.boundingRect(QRectF(0, 0, std::max(1.0, width), 1e6), kDetailFlags, m_detail);
    const qreal detailHeight = m_detail.isEmpty() ? 0 : detailBounds.height();
    const qreal content = symbolSide + kSpacing + tfm.height() + kSpacing + detailHeight;

    Geometry g;
    g.height = kMargin + content + kMargin;
    // Given more room than it needs, the column sits in the middle of it.
    const qreal top = kMargin + std::max(0.0, std::floor((height - std::ceil(g.height)) / 2));
    g.symbol = QRectF((width - symbolSide) / 2, top, symbolSide, symbolSide);
    g.title = QRectF(0, g.symbol.bottom() + kSpacing, width, tfm.height());
    g.detail = QRectF(0, g.title.bottom() + kSpacing, width, detailHeight);
    return g;
}

QRectF EmptyState::symbolRect() const
{
    return geometryFor(width(), height()).symbol;
}

QRectF EmptyState::titleRect() const
{
    return geometryFor(width(), height()).title;
}

QRectF EmptyState::detailRect() const
{
    return geometryFor(width(), height()).detail;
}

int EmptyState::heightForWidth(int width) const
{
    return int(std::ceil(geometryFor(width, 0).height));
}

QSize EmptyState::sizeHint() const
{
    return {kPreferredWidth, heightForWidth(kPreferredWidth)};
}

QSize EmptyState::minimumSizeHint() const
{
    return {0, heightForWidth(kPreferredWidth)};
}

void EmptyState::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const Geometry g = geometryFor(width(), height());
    const QColor faint = Theme::ink3.resolve(m_dark);

    Symbols::draw(p, g.symbol, m_symbol, kSymbolSize, faint, QFont::Light);

    const QFont tf = titleFont();
    const QFontMetricsF tfm(tf);
    p.setFont(tf);
    p.setPen(Theme::ink.resolve(m_dark));
    p.drawText(g.title, Qt::AlignHCenter | Qt::AlignTop,
               tfm.elidedText(m_title, Qt::ElideRight, g.title.width()));

    p.setFont(detailFont());
    p.setPen(faint);
    p.drawText(g.detail, kDetailFlags, m_detail);
}
