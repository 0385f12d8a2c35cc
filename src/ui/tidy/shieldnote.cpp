#include "shieldnote.h"

#include "theme/appearance.h"
#include "theme/symbols.h"
#include "theme/theme.h"

#include <QFontMetricsF>
#include <QPainter>

#include <cmath>

namespace {

constexpr qreal kSize = 11.5;
constexpr qreal kGap = 6;
constexpr int kFlags = Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap;

QFont noteFont()
{
    return Theme::font(kSize);
}

QRectF textBounds(const QString &text, qreal width)
{
    const qreal left = Symbols::boxSize(kSize) + kGap;
    const QFontMetricsF fm(noteFont());
    const QRectF room(left, 0, std::max<qreal>(1, width - left), 1e6);
    return fm.boundingRect(room, kFlags, text);
}

} // namespace

ShieldNote::ShieldNote(const QString &text, QWidget *parent) : QWidget(parent), m_text(text)
{
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
    Appearance::shared().follow(this, &m_dark);
}

int ShieldNote::heightForWidth(int width) const
{
    return int(std::ceil(std::max(textBounds(m_text, width).height(), Symbols::boxSize(kSize))));
}

QSize ShieldNote::sizeHint() const
{
    const qreal left = Symbols::boxSize(kSize) + kGap;
    const int width = int(std::ceil(left + QFontMetricsF(noteFont()).horizontalAdvance(m_text)));
    return {width, heightForWidth(width)};
}

QSize ShieldNote::minimumSizeHint() const
{
    return {0, heightForWidth(sizeHint().width())};
}

void ShieldNote::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor faint = Theme::ink3.resolve(m_dark);
    const qreal box = Symbols::boxSize(kSize);
    const QFontMetricsF fm(noteFont());
    // The symbol sits on the first line of text.
    Symbols::draw(p, QRectF(0, (fm.height() - box) / 2, box, box), u"checkmark.shield", kSize, faint);
    p.setFont(noteFont());
    p.setPen(faint);
    const qreal left = box + kGap;
    p.drawText(QRectF(left, 0, std::max<qreal>(1, width() - left), height()), kFlags, m_text);
}
