#include "toggleswitch.h"

#include "theme/appearance.h"
#include "theme/theme.h"

#include <QEnterEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QPainterPath>
#include <QVariantAnimation>

namespace {

constexpr QSize kSize(40, 24);
constexpr qreal kKnobInset = 2.5;
constexpr int kSlideMs = 140;
constexpr qreal kDisabledOpacity = 0.45;

QColor mixed(const QColor &a, const QColor &b, qreal t)
{
    const auto mix = [t](qreal x, qreal y) { return x + (y - x) * t; };
    return QColor::fromRgbF(float(mix(a.redF(), b.redF())), float(mix(a.greenF(), b.greenF())),
                            float(mix(a.blueF(), b.blueF())), float(mix(a.alphaF(), b.alphaF())));
}

} // namespace

ToggleSwitch::ToggleSwitch(QWidget *parent) : QAbstractButton(parent)
{
    setCheckable(true);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::PointingHandCursor);
    setAttribute(Qt::WA_Hover);
    Appearance::shared().follow(this, &m_dark);
    m_slide = new QVariantAnimation(this);
    m_slide->setDuration(kSlideMs);
    m_slide->setEasingCurve(QEasingCurve::OutCubic);
    connect(m_slide, &QVariantAnimation::valueChanged, this, [this](const QVariant &value) {
        m_position = value.toReal();
        update();
    });
}

QSize ToggleSwitch::sizeHint() const
{
    return kSize;
}

void ToggleSwitch::checkStateSet()
{
    const bool on = isChecked();
    m_slide->stop();
    // A switch set before it is shown starts in place; a visible one slides.
    if (!isVisible()) {
        m_position = on ? 1 : 0;
        update();
        return;
    }
    m_slide->setStartValue(m_position);
    m_slide->setEndValue(on ? 1.0 : 0.0);
    m_slide->start();
}

void ToggleSwitch::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    if (!isEnabled())
        p.setOpacity(kDisabledOpacity);
    const QRectF track = QRectF(QPointF(0, 0), QSizeF(kSize)).translated((width() - kSize.width()) / 2.0,
                                                                         (height() - kSize.height()) / 2.0)
                             .adjusted(1, 1, -1, -1);
    const qreal radius = track.height() / 2;

    if (m_keyboardFocus) {
        p.setPen(QPen(Theme::ring.resolve(m_dark), 2));
        p.setBrush(Qt::NoBrush);
        const QRectF ring = track.adjusted(-1.5, -1.5, 1.5, 1.5);
        p.drawRoundedRect(ring, ring.height() / 2, ring.height() / 2);
    }

    QColor off = Theme::ink3.resolve(m_dark);
    off.setAlphaF(m_hovered ? 0.45f : 0.35f);
    p.setPen(Qt::NoPen);
    p.setBrush(mixed(off, Theme::marker.resolve(m_dark), m_position));
    p.drawRoundedRect(track, radius, radius);

    const qreal knob = track.height() - 2 * kKnobInset;
    const qreal left = track.left() + kKnobInset;
    const qreal travel = track.width() - 2 * kKnobInset - knob;
    const QRectF disc(left + travel * m_position, track.top() + kKnobInset, knob, knob);
    // A soft shadow under the knob, so it reads as lifted off the track.
    p.setBrush(QColor(0, 0, 0, m_dark ? 90 : 45));
    p.drawEllipse(disc.translated(0, 0.8).adjusted(-0.3, -0.3, 0.3, 0.3));
    p.setBrush(Theme::markerInk.resolve(m_dark));
    p.drawEllipse(disc);
}

void ToggleSwitch::enterEvent(QEnterEvent *event)
{
    m_hovered = true;
    update();
    QAbstractButton::enterEvent(event);
}

void ToggleSwitch::leaveEvent(QEvent *event)
{
    m_hovered = false;
    update();
    QAbstractButton::leaveEvent(event);
}

void ToggleSwitch::focusInEvent(QFocusEvent *event)
{
    // Only focus that came from the keyboard draws the ring.
    m_keyboardFocus = event->reason() == Qt::TabFocusReason || event->reason() == Qt::BacktabFocusReason;
    update();
    QAbstractButton::focusInEvent(event);
}

void ToggleSwitch::focusOutEvent(QFocusEvent *event)
{
    m_keyboardFocus = false;
    update();
    QAbstractButton::focusOutEvent(event);
}

void ToggleSwitch::keyPressEvent(QKeyEvent *event)
{
    const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    if (plain && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
        click();
        return;
    }
    QAbstractButton::keyPressEvent(event);
}

void ToggleSwitch::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::EnabledChange)
        update();
    QAbstractButton::changeEvent(event);
}
