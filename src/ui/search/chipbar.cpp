#include "chipbar.h"

#include "filterchip.h"

#include "theme/appearance.h"
#include "theme/symbols.h"
#include "theme/theme.h"

#include <QFontMetricsF>
#include <QHBoxLayout>
#include <QPainter>

#include <cmath>

namespace {

constexpr qreal kLabelPoints = 11.5;
constexpr qreal kLabelGap = 5;
constexpr int kSpacing = 7;

// The caption before the chips: a sparkle and "Understood as", in the faint ink.
class UnderstoodLabel final : public QWidget
{
public:
    explicit UnderstoodLabel(QWidget *parent) : QWidget(parent)
    {
        setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
        Appearance::shared().follow(this, &m_dark);
    }

    QSize sizeHint() const override
    {
        const QFontMetricsF metrics(font());
        const qreal width = Symbols::boxSize(kLabelPoints) + kLabelGap + metrics.horizontalAdvance(text());
        return {int(std::ceil(width)), int(std::ceil(std::max(metrics.height(), Symbols::boxSize(kLabelPoints))))};
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        const QColor ink = Theme::ink3.resolve(m_dark);
        const qreal side = Symbols::boxSize(kLabelPoints);
        Symbols::draw(p, QRectF(0, (height() - side) / 2, side, side), u"sparkle", kLabelPoints, ink);
        p.setPen(ink);
        p.setFont(font());
        p.drawText(QRectF(side + kLabelGap, 0, width() - side - kLabelGap, height()),
                   Qt::AlignLeft | Qt::AlignVCenter, text());
    }

private:
    static QFont font() { return Theme::font(kLabelPoints); }
    static QString text() { return QStringLiteral("Understood as"); }

    bool m_dark = false;
};

} // namespace

ChipBar::ChipBar(QWidget *parent) : QWidget(parent), m_row(new QHBoxLayout(this))
{
    m_row->setContentsMargins(0, 0, 0, 0);
    m_row->setSpacing(kSpacing);
    m_row->addWidget(new UnderstoodLabel(this), 0, Qt::AlignVCenter);
    m_row->addStretch(1);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    hide();
}

void ChipBar::setChips(const QList<Chip> &chips, const QSet<QString> &dropped)
{
    if (chips != m_chips) {
        for (FilterChip *button : std::as_const(m_buttons)) {
            m_row->removeWidget(button);
            button->hide();
            button->deleteLater();
        }
        m_buttons.clear();
        m_chips = chips;
        for (const Chip &chip : chips) {
            auto *button = new FilterChip(chip, dropped.contains(chip.id), this);
            const QString id = chip.id;
            connect(button, &FilterChip::clicked, this, [this, id]() { emit toggled(id); });
            // After the caption and the chips before it, ahead of the closing stretch.
            m_row->insertWidget(m_row->count() - 1, button, 0, Qt::AlignVCenter);
            m_buttons.append(button);
        }
    } else {
        for (FilterChip *button : std::as_const(m_buttons))
            button->setDropped(dropped.contains(button->chip().id));
    }
    setVisible(!m_chips.isEmpty());
}
