#include "pageheader.h"

#include "theme/appearance.h"
#include "theme/theme.h"

#include <cmath>
#include <QEvent>
#include <QFontMetricsF>
#include <QPainter>

namespace {

constexpr qreal kTitleSize = 26;
constexpr qreal kSubtitleSize = 13;
constexpr qreal kLineGap = 4;
constexpr qreal kMinSpace = 12;

QFont titleFont()
{
    return Theme::font(kTitleSize, QFont::DemiBold, Theme::Design::rounded);
}

QFont subtitleFont()
{
    return Theme::font(kSubtitleSize);
}

} // namespace

PageHeader::PageHeader(const QString &title, const QString &subtitle, QWidget *parent)
    : QWidget(parent), m_title(title), m_subtitle(subtitle)
{
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    Appearance::shared().follow(this, &m_dark);
}

void PageHeader::setTitle(const QString &title)
{
    if (m_title == title)
        return;
    m_title = title;
    relayout();
}

void PageHeader::setSubtitle(const QString &subtitle)
{
    if (m_subtitle == subtitle)
        return;
    m_subtitle = subtitle;
    relayout();
}

void PageHeader::setTrailing(QWidget *widget)
{
    if (widget == m_trailing)
        return;
    delete m_trailing.data();
    m_trailing = widget;
    if (m_trailing) {
        m_trailing->setParent(this);
        m_trailing->show();
    }
    relayout();
}

PageHeader::Geometry PageHeader::geometryFor(qreal width) const
{
    const QFontMetricsF tfm(titleFont());
    const QFontMetricsF sfm(subtitleFont());
    Geometry g;

    qreal trailingWidth = 0;
    qreal trailingHeight = 0;
    qreal trailingBaseline = 0;
    bool hasBaseline = false;
    if (m_trailing) {
        const QSize hint = m_trailing->sizeHint().expandedTo(m_trailing->minimumSizeHint());
        trailingWidth = hint.width();
        trailingHeight = hint.height();
        const QVariant baseline = m_trailing->property("firstBaseline");
        hasBaseline = baseline.isValid();
        trailingBaseline = hasBaseline ? baseline.toReal() : 0;
    }

    // Both lines and the trailing widget share the title's first baseline.
    qreal baseline = tfm.ascent();
    if (m_trailing) {
        const qreal wanted =
            hasBaseline ? trailingBaseline : trailingHeight / 2 - tfm.height() / 2 + tfm.ascent();
        baseline = std::max(baseline, wanted);
    }
    const qreal textTop = baseline - tfm.ascent();
    const qreal textWidth = std::max(0.0, width - (m_trailing ? trailingWidth + kMinSpace : 0.0));
    g.title = QRectF(0, textTop, std::min(tfm.horizontalAdvance(m_title), textWidth), tfm.height());
    g.subtitle = QRectF(0, g.title.bottom() + kLineGap,
                        std::min(sfm.horizontalAdvance(m_subtitle), textWidth), sfm.height());
    g.height = g.subtitle.bottom();
    if (m_trailing) {
        const qreal top = hasBaseline ? baseline - trailingBaseline
                                      : textTop + tfm.height() / 2 - trailingHeight / 2;
        g.trailing = QRect(int(std::lround(width - trailingWidth)), int(std::lround(top)),
                           int(trailingWidth), int(trailingHeight));
        g.height = std::max(g.height, top + trailingHeight);
    }
    return g;
}

QRectF PageHeader::titleRect() const
{
    return geometryFor(width()).title;
}

QRectF PageHeader::subtitleRect() const
{
    return geometryFor(width()).subtitle;
}

QSize PageHeader::sizeHint() const
{
    const qreal textWidth = std::max(QFontMetricsF(titleFont()).horizontalAdvance(m_title),
                                     QFontMetricsF(subtitleFont()).horizontalAdvance(m_subtitle));
    qreal width = textWidth;
    if (m_trailing)
        width += kMinSpace + m_trailing->sizeHint().width();
    const Geometry g = geometryFor(width);
    return {int(std::ceil(width)), int(std::ceil(g.height))};
}

QSize PageHeader::minimumSizeHint() const
{
    const qreal trailing = m_trailing ? kMinSpace + m_trailing->sizeHint().width() : 0;
    return {int(std::ceil(trailing)), sizeHint().height()};
}

bool PageHeader::event(QEvent *event)
{
    // A trailing widget whose size hint changed asks its parent to lay out again.
    if (event->type() == QEvent::LayoutRequest)
        relayout();
    return QWidget::event(event);
}

void PageHeader::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const Geometry g = geometryFor(width());

    const QFont tf = titleFont();
    const QFontMetricsF tfm(tf);
    p.setFont(tf);
    p.setPen(Theme::ink.resolve(m_dark));
    p.drawText(QPointF(0, g.title.top() + tfm.ascent()),
               tfm.elidedText(m_title, Qt::ElideRight, g.title.width() + 0.5));

    const QFont sf = subtitleFont();
    const QFontMetricsF sfm(sf);
    p.setFont(sf);
    p.setPen(Theme::ink3.resolve(m_dark));
    p.drawText(QPointF(0, g.subtitle.top() + sfm.ascent()),
               sfm.elidedText(m_subtitle, Qt::ElideRight, g.subtitle.width() + 0.5));
}

void PageHeader::resizeEvent(QResizeEvent *event)
{
    if (m_trailing)
        m_trailing->setGeometry(geometryFor(width()).trailing);
    QWidget::resizeEvent(event);
}

void PageHeader::relayout()
{
    if (m_trailing)
        m_trailing->setGeometry(geometryFor(width()).trailing);
    updateGeometry();
    update();
}
