#include "sectionheader.h"

#include "focusring.h"

#include "theme/appearance.h"
#include "theme/symbols.h"
#include "theme/theme.h"

#include <cmath>
#include <QAbstractButton>
#include <QEnterEvent>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

namespace {

constexpr qreal kTitleSize = 17;
constexpr qreal kPillSize = 11;
constexpr qreal kPillPadX = 8;
constexpr qreal kPillPadY = 3;
constexpr qreal kLinkSize = 12;
constexpr qreal kLinkGap = 3;
// The standard distance between the pieces of a row.
constexpr qreal kSpacing = 8;

QFont titleFont()
{
    return Theme::font(kTitleSize, QFont::DemiBold, Theme::Design::rounded);
}

QFont pillFont()
{
    return Theme::font(kPillSize, QFont::DemiBold);
}

// A borderless text button with a trailing arrow.
class LinkButton final : public QAbstractButton
{
public:
    LinkButton(const QString &title, QWidget *parent) : QAbstractButton(parent)
    {
        setText(title);
        setFont(Theme::font(kLinkSize, QFont::Medium));
        setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
        setFocusPolicy(Qt::TabFocus);
        setCursor(Qt::PointingHandCursor);
        Appearance::shared().follow(this, &m_dark);
    }

    QSize sizeHint() const override
    {
        const QFontMetricsF fm(font());
        const qreal box = Symbols::boxSize(kLinkSize);
        return {int(std::ceil(fm.horizontalAdvance(text()) + kLinkGap + box)),
                int(std::ceil(std::max(fm.height(), box)))};
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        const QFontMetricsF fm(font());
        // Pointing at the link darkens it to the primary text colour.
        const QColor color =
            (m_hovered || isDown() || hasFocus() ? Theme::ink : Theme::ink2).resolve(m_dark);
        const qreal midY = height() / 2.0;
        const qreal textWidth = fm.horizontalAdvance(text());
        p.setFont(font());
        p.setPen(color);
        p.drawText(QPointF(0, midY - fm.height() / 2 + fm.ascent()), text());
        const qreal box = Symbols::boxSize(kLinkSize);
        Symbols::draw(p, QRectF(textWidth + kLinkGap, midY - box / 2, box, box), u"arrow.right",
                      kLinkSize, color, QFont::Medium);        // A link's focus: a bar of the ring colour under the words, inside its own bounds.
        if (hasFocus())
            p.fillRect(QRectF(0, height() - FocusRing::kWidth, width(), FocusRing::kWidth),
                       Theme::ring.resolve(m_dark));
    }
    void enterEvent(QEnterEvent *event) override
    {
        m_hovered = true;
        update();
        QAbstractButton::enterEvent(event);
    }
    void leaveEvent(QEvent *event) override
    {
        m_hovered = false;
        update();
        QAbstractButton::leaveEvent(event);
    }

private:
    bool m_hovered = false;
    bool m_dark = false;
};

} // namespace

SectionHeader::SectionHeader(const QString &title, std::optional<QString> pill,
                             std::optional<QString> linkTitle, std::function<void()> action,
                             QWidget *parent)
    : QWidget(parent), m_title(title), m_pill(std::move(pill)), m_linkTitle(std::move(linkTitle)),
      m_action(std::move(action))
{
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    Appearance::shared().follow(this, &m_dark);
    rebuildLink();
}

void SectionHeader::setTitle(const QString &title)
{
    if (m_title == title)
        return;
    m_title = title;
    updateGeometry();
    update();
}

void SectionHeader::setPill(std::optional<QString> pill)
{
    if (m_pill == pill)
        return;
    m_pill = std::move(pill);
    updateGeometry();
    update();
}

void SectionHeader::setLink(std::optional<QString> linkTitle, std::function<void()> action)
{
    m_linkTitle = std::move(linkTitle);
    m_action = std::move(action);
    rebuildLink();
}

void SectionHeader::rebuildLink()
{
    delete m_link;
    m_link = nullptr;
    if (m_linkTitle && m_action) {
        m_link = new LinkButton(*m_linkTitle, this);
        connect(m_link, &QAbstractButton::clicked, this, [this] {
            if (m_action)
                m_action();
        });
        m_link->show();
    }
    placeLink();
    updateGeometry();
    update();
}

QSizeF SectionHeader::pillSize() const
{
    if (!m_pill)
        return {};
    const QFontMetricsF fm(pillFont());
    return {fm.horizontalAdvance(*m_pill) + 2 * kPillPadX, fm.height() + 2 * kPillPadY};
}

qreal SectionHeader::rowHeight() const
{
    qreal h = QFontMetricsF(titleFont()).height();
    h = std::max(h, pillSize().height());
    if (m_link)
        h = std::max(h, qreal(m_link->sizeHint().height()));
    return h;
}

QRectF SectionHeader::titleRect() const
{
    const QFontMetricsF fm(titleFont());
    qreal available = width();
    if (m_pill)
        available -= kSpacing + pillSize().width();
    if (m_link)
        available -= kSpacing + m_link->sizeHint().width();
    const qreal w = std::clamp(fm.horizontalAdvance(m_title), 0.0, std::max(0.0, available));
    return {0, (height() - fm.height()) / 2, w, fm.height()};
}

QRectF SectionHeader::pillRect() const
{
    if (!m_pill)
        return {};
    const QSizeF size = pillSize();
    return {titleRect().right() + kSpacing, (height() - size.height()) / 2, size.width(),
            size.height()};
}

QSize SectionHeader::sizeHint() const
{
    qreal w = QFontMetricsF(titleFont()).horizontalAdvance(m_title);
    if (m_pill)
        w += kSpacing + pillSize().width();
    if (m_link)
        w += kSpacing + m_link->sizeHint().width();
    return {int(std::ceil(w)), int(std::ceil(rowHeight()))};
}

QSize SectionHeader::minimumSizeHint() const
{
    return {0, int(std::ceil(rowHeight()))};
}

void SectionHeader::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);

    const QFont tf = titleFont();
    const QFontMetricsF tfm(tf);
    const QRectF title = titleRect();
    p.setFont(tf);
    p.setPen(Theme::ink.resolve(m_dark));
    p.drawText(QPointF(title.left(), title.top() + tfm.ascent()),
               tfm.elidedText(m_title, Qt::ElideRight, title.width() + 0.5));

    if (m_pill) {
        const QRectF pill = pillRect();
        QPainterPath capsule;
        capsule.addRoundedRect(pill, pill.height() / 2, pill.height() / 2);
        p.fillPath(capsule, Theme::marker.resolve(m_dark));
        const QFont pf = pillFont();
        const QFontMetricsF pfm(pf);
        p.setFont(pf);
        p.setPen(Theme::markerInk.resolve(m_dark));
        p.drawText(QPointF(pill.left() + kPillPadX, pill.top() + kPillPadY + pfm.ascent()),
                   *m_pill);
    }
}

void SectionHeader::resizeEvent(QResizeEvent *event)
{
    placeLink();
    QWidget::resizeEvent(event);
}

void SectionHeader::placeLink()
{
    if (!m_link)
        return;
    const QSize size = m_link->sizeHint();
    m_link->setGeometry(width() - size.width(), (height() - size.height()) / 2, size.width(),
                        size.height());
}
