#include "banner.h"

#include "theme/symbols.h"
#include "theme/theme.h"

#include <QFontMetricsF>
#include <QHBoxLayout>
#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace {

constexpr qreal kPadding = 20;
constexpr qreal kSpacing = 16;
constexpr qreal kMark = 48;
constexpr qreal kSymbolSize = 19;
constexpr qreal kLineGap = 3;
constexpr qreal kRadius = 20;
constexpr int kActionSpacing = 8;

const QColor kFill = QColor::fromRgbF(0.06f, 0.09f, 0.16f);
const QColor kSymbolColor = QColor::fromRgbF(0.55f, 0.74f, 1.0f);

QColor white(qreal alpha)
{
    QColor c(Qt::white);
    c.setAlphaF(float(alpha));
    return c;
}

QFont titleFont()
{
    return Theme::font(22, QFont::DemiBold, Theme::Design::rounded);
}

QFont detailFont()
{
    return Theme::font(12.5);
}

qreal textsHeight()
{
    return QFontMetricsF(titleFont()).height() + kLineGap + QFontMetricsF(detailFont()).height();
}

} // namespace

Banner::Banner(const QString &symbol, const QString &title, const QString &detail, QWidget *parent)
    : QWidget(parent), m_symbol(symbol), m_title(title), m_detail(detail), m_layout(new QHBoxLayout(this)),
      m_texts(new QSpacerItem(0, 0, QSizePolicy::Expanding, QSizePolicy::Minimum))
{
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    // The symbol's disc and its gap are painted in the left margin.
    m_layout->setContentsMargins(int(kPadding + kMark + kSpacing), int(kPadding), int(kPadding), int(kPadding));
    m_layout->setSpacing(kActionSpacing);
    m_layout->addSpacerItem(m_texts);
    textsChanged();
}

void Banner::setSymbol(const QString &symbol)
{
    if (symbol == m_symbol)
        return;
    m_symbol = symbol;
    update();
}

void Banner::setTitle(const QString &title)
{
    if (title == m_title)
        return;
    m_title = title;
    textsChanged();
}

void Banner::setDetail(const QString &detail)
{
    if (detail == m_detail)
        return;
    m_detail = detail;
    textsChanged();
}

void Banner::addAction(QWidget *action)
{
    if (m_layout->count() == 1)
        m_layout->addSpacing(int(kSpacing - kActionSpacing));
    m_layout->addWidget(action, 0, Qt::AlignVCenter);
}

void Banner::textsChanged()
{
    const qreal width = std::max(QFontMetricsF(titleFont()).horizontalAdvance(m_title),
                                 QFontMetricsF(detailFont()).horizontalAdvance(m_detail));
    m_texts->changeSize(int(std::ceil(width)), int(std::ceil(std::max(kMark, textsHeight()))),
                        QSizePolicy::Expanding, QSizePolicy::Minimum);
    m_layout->invalidate();
    updateGeometry();
    update();
}

QRectF Banner::titleRect() const
{
    const QRect room = m_texts->geometry();
    const qreal top = height() / 2.0 - textsHeight() / 2;
    return {qreal(room.left()), top, qreal(room.width()), QFontMetricsF(titleFont()).height()};
}

QRectF Banner::detailRect() const
{
    const QRectF title = titleRect();
    return {title.left(), title.bottom() + kLineGap, title.width(), QFontMetricsF(detailFont()).height()};
}

void Banner::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    const QRectF bounds = QRectF(rect());
    QPainterPath shape;
    shape.addRoundedRect(bounds, kRadius, kRadius);
    p.fillPath(shape, kFill);
    p.setPen(QPen(white(0.08), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(bounds.adjusted(0.5, 0.5, -0.5, -0.5), kRadius - 0.5, kRadius - 0.5);

    const QRectF mark(kPadding, bounds.center().y() - kMark / 2, kMark, kMark);
    p.setPen(Qt::NoPen);
    p.setBrush(white(0.10));
    p.drawEllipse(mark);
    Symbols::draw(p, mark, m_symbol, kSymbolSize, kSymbolColor, QFont::DemiBold);

    const QRectF title = titleRect();
    const QFont tf = titleFont();
    const QFontMetricsF tfm(tf);
    p.setFont(tf);
    p.setPen(Qt::white);
    p.drawText(QPointF(title.left(), title.top() + tfm.ascent()),
               tfm.elidedText(m_title, Qt::ElideRight, title.width()));
    const QRectF detail = detailRect();
    const QFont df = detailFont();
    const QFontMetricsF dfm(df);
    p.setFont(df);
    p.setPen(white(0.65));
    p.drawText(QPointF(detail.left(), detail.top() + dfm.ascent()),
               dfm.elidedText(m_detail, Qt::ElideRight, detail.width()));
}
