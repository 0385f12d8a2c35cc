#include "quickpanel.h"

#include "components/softshadow.h"
#include "x11desktop.h"

#include <QEvent>
#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <QRegion>
#include <QtGui/qguiapplication_platform.h>

#include <cmath>

namespace {

constexpr int kBlurRadius = 11;
constexpr int kShadowOffsetY = 8;
constexpr double kShadowOpacity = 0.30;

xcb_connection_t *x11Connection()
{
    if (auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr)
        return x11->connection();
    return nullptr;
}

} // namespace

QuickPanel::QuickPanel(QWidget *content, QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint), m_content(content)
{
    setObjectName(QStringLiteral("quick"));
    setWindowTitle(QStringLiteral("Quick Search"));
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_ShowWithoutActivating, false);
    m_content->setParent(this);
    // An X11 desktop without a compositor shows translucent pixels black.
    xcb_connection_t *x11 = x11Connection();
    setShadowed(!x11 || X11Desktop::compositing(x11, X11Desktop::defaultRoot(x11)));
}

void QuickPanel::setShadowed(bool shadowed)
{
    m_margin = shadowed ? kShadowMargin : 0;
    const QSize inner = m_content->size();
    setFixedSize(inner + QSize(2 * m_margin, 2 * m_margin));
    m_content->move(m_margin, m_margin);
    if (shadowed) {
        clearMask();
    } else {
        QPainterPath card;
        card.addRoundedRect(QRectF(QPointF(0, 0), QSizeF(inner)), kCornerRadius, kCornerRadius);
        setMask(QRegion(card.toFillPolygon().toPolygon()));
    }
    update();
}

QPoint QuickPanel::origin(const QRect &available, const QSize &content, int margin)
{
    const double centreX = available.x() + available.width() / 2.0;
    // Screen coordinates grow downwards: 62 % up from the bottom is 38 % down from the top.
    const double centreY = available.y() + (1.0 - kHeightFraction) * available.height();
    return {int(std::lround(centreX - content.width() / 2.0)) - margin,
            int(std::lround(centreY - content.height() / 2.0)) - margin};
}

void QuickPanel::placeOn(const QRect &available)
{
    move(origin(available, m_content->size(), m_margin));
}

void QuickPanel::present()
{
    if (xcb_connection_t *x11 = x11Connection())
        X11Desktop::showOnAllDesktops(x11, X11Desktop::defaultRoot(x11), quint32(winId()), false);
    show();
    raise();
    activateWindow();
}

bool QuickPanel::event(QEvent *event)
{
    if (event->type() == QEvent::WindowDeactivate && isVisible()) {
        hide();
        emit focusLost();
    }
    return QWidget::event(event);
}

const QImage &QuickPanel::shadow(qreal ratio)
{
    if (!m_shadow.isNull() && m_shadow.devicePixelRatio() == ratio)
        return m_shadow;
    const QSize pixels = (QSizeF(size()) * ratio).toSize();
    m_shadow = QImage(pixels, QImage::Format_ARGB32_Premultiplied);
    m_shadow.fill(Qt::transparent);
    {
        QPainter p(&m_shadow);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(ratio, ratio);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 0, 0, int(255 * kShadowOpacity)));
        const QRectF card(m_margin, m_margin + kShadowOffsetY / 2.0, m_content->width(),
                          m_content->height() - kShadowOffsetY / 2.0);
        p.drawRoundedRect(card.translated(0, kShadowOffsetY / 2.0), kCornerRadius, kCornerRadius);
    }
    SoftShadow::blurAlpha(m_shadow, int(std::lround(kBlurRadius * ratio)));
    // The blur ran on alpha alone; premultiplied black keeps colour at zero.
    m_shadow.setDevicePixelRatio(ratio);
    return m_shadow;
}

void QuickPanel::paintEvent(QPaintEvent *)
{
    if (m_margin == 0)
        return;
    QPainter p(this);
    p.drawImage(QPointF(0, 0), shadow(devicePixelRatioF()));
}
