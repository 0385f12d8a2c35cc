#include "toast.h"

#include "mainwindow.h"

#include "components/focusring.h"
#include "components/softshadow.h"
#include "state/trasher.h"
#include "theme/theme.h"

#include <cmath>
#include <QAccessible>
#include <QEasingCurve>
#include <QEvent>
#include <QFontMetricsF>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPropertyAnimation>
#include <QTimer>
#include <vector>

namespace {

constexpr qreal kPoints = 12.5;
constexpr qreal kPadX = 16;
constexpr qreal kPadY = 10;
constexpr qreal kGap = 14;
constexpr double kResponseSeconds = 0.3;
constexpr double kShadowOpacity = 0.25;
constexpr qreal kShadowRadius = 14;
constexpr qreal kShadowOffsetY = 6;
// A blur radius is about two standard deviations; three of them hold all the visible shadow.
constexpr qreal kShadowSigma = kShadowRadius / 2;
constexpr int kShadowMargin = int(3 * kShadowSigma + 2);

QColor capsuleFill()
{
    return QColor::fromRgbF(0.06f, 0.09f, 0.16f);
}

QColor undoInk()
{
    return QColor::fromRgbF(0.55f, 0.74f, 1.0f);
}

QFont messageFont()
{
    return Theme::font(kPoints, QFont::Medium);
}

QFont undoFont()
{
    return Theme::font(kPoints, QFont::Bold);
}

QString undoTitle()
{
    return QStringLiteral("Undo");
}

QPainterPath capsulePath(const QRectF &r)
{
    QPainterPath path;
    path.addRoundedRect(r, r.height() / 2, r.height() / 2);
    return path;
}

// The capsule's soft shadow, blurred once per size and kept; it never takes the pointer.
class ToastShadow final : public QWidget
{
public:
    explicit ToastShadow(QWidget *host) : QWidget(host)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setFocusPolicy(Qt::NoFocus);
        hide();
    }

    void setShape(const QSizeF &capsule, qreal opacity)
    {
        const qreal ratio = devicePixelRatioF();
        if (capsule != m_capsule || ratio != m_ratio) {
            m_capsule = capsule;
            m_ratio = ratio;
            m_image = blurred(capsule, ratio);
        }
        if (opacity != m_opacity) {
            m_opacity = opacity;
            update();
        }
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        if (m_image.isNull() || m_opacity <= 0)
            return;
        QPainter p(this);
        p.setOpacity(kShadowOpacity * m_opacity);
        p.drawImage(QPointF(0, 0), m_image);
    }

private:
    static QImage blurred(const QSizeF &capsule, qreal ratio)
    {
        const QSize pixels = ((capsule + QSizeF(2 * kShadowMargin, 2 * kShadowMargin)) * ratio).toSize();
        QImage image(pixels, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        {
            QPainter p(&image);
            p.setRenderHint(QPainter::Antialiasing);
            p.scale(ratio, ratio);
            p.fillPath(capsulePath(QRectF(QPointF(kShadowMargin, kShadowMargin), capsule)), Qt::black);
        }
        // Three box passes each way come close to a Gaussian of the same spread.
        SoftShadow::blurAlpha(image, std::max(1, int(std::lround(kShadowSigma * ratio))));
        image.setDevicePixelRatio(ratio);
        return image;
    }

    QSizeF m_capsule;
    qreal m_ratio = 0;
    qreal m_opacity = 0;
    QImage m_image;
};

} // namespace

Toast::Toast(Trasher &trasher, QWidget *host) : QWidget(host), m_trasher(trasher), m_host(host)
{
    Q_ASSERT(host);
    m_shadow = new ToastShadow(host);
    setAttribute(Qt::WA_NoSystemBackground);
    setMouseTracking(true);
    setFocusPolicy(Qt::NoFocus);
    // While it has the keyboard, Return and Space are Undo's, not the file keys'.
    setProperty("ownKeys", QStringLiteral("all"));
    hide();

    QEasingCurve curve;
    curve.setCustomType(&Toast::spring);
    m_enter = new QPropertyAnimation(this, "presence", this);
    m_enter->setDuration(kSpringMs);
    m_enter->setEasingCurve(curve);
    connect(m_enter, &QPropertyAnimation::finished, this, [this] {
        if (m_presence <= 0) {
            m_showing = false;
            hide();
            m_shadow->hide();
        }
    });
    m_change = new QPropertyAnimation(this, "morph", this);
    m_change->setDuration(kSpringMs);
    m_change->setEasingCurve(curve);

    host->installEventFilter(this);
    connect(&m_trasher, &Trasher::messageChanged, this, &Toast::scheduleSync);
    connect(&m_trasher, &Trasher::canUndoChanged, this, &Toast::scheduleSync);
    sync();
}

Toast::~Toast()
{
    if (m_host)
        m_host->removeEventFilter(this);
    // The shadow belongs to the host but means nothing without the capsule.
    delete m_shadow;
}

qreal Toast::spring(qreal progress)
{
    // x(t) = 1 − (1 + ωt)·e^(−ωt), with ω = 2π / response.
    const double omega = 2 * M_PI / kResponseSeconds;
    const double span = kSpringMs / 1000.0;
    auto at = [omega](double t) { return 1 - (1 + omega * t) * std::exp(-omega * t); };
    return qreal(at(progress * span) / at(span));
}

void Toast::scheduleSync()
{
    // Trasher changes the message and the Undo offer one after the other: one look at both.
    if (m_syncPending)
        return;
    m_syncPending = true;
    QTimer::singleShot(0, this, &Toast::sync);
}

void Toast::sync()
{
    m_syncPending = false;
    const std::optional<QString> &message = m_trasher.message();
    if (!message) {
        if (!m_showing || m_enter->endValue().toReal() == 0)
            return;
        m_enter->stop();
        m_enter->setStartValue(m_presence);
        m_enter->setEndValue(0.0);
        m_enter->start();
        setUndoHover(false);
        offerUndo(false);
        return;
    }
    const Content next{*message, m_trasher.canUndo()};
    const bool arriving = !m_showing || m_enter->endValue().toReal() == 0;
    if (!arriving && next == m_to)
        return;
    if (arriving && m_presence <= 0) {
        // From nothing: no earlier message to ease away from.
        m_from = next;
        m_to = next;
        m_morph = 1;
    } else {
        m_from = m_to;
        m_to = next;
        m_change->stop();
        m_change->setStartValue(0.0);
        m_change->setEndValue(1.0);
        m_morph = 0;
        m_change->start();
    }
    m_showing = true;
    if (arriving) {
        m_enter->stop();
        m_enter->setStartValue(m_presence);
        m_enter->setEndValue(1.0);
        m_enter->start();
    }
    m_shadow->show();
    show();
    m_shadow->raise();
    raise();
    relayout();
    offerUndo(next.undo);
    // Screen readers speak the new message as an alert.
    QAccessibleEvent named(this, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&named);
    QAccessibleEvent alert(this, QAccessible::Alert);
    QAccessible::updateAccessibility(&alert);
}

void Toast::offerUndo(bool undo)
{
    // Tab reaches Undo only while it is offered.
    setFocusPolicy(undo ? Qt::TabFocus : Qt::NoFocus);
    if (!undo && hasFocus()) {
        if (MainWindow *main = MainWindow::find())
            main->focusFiles();
    }
    update();
}

void Toast::undo()
{
    if (m_to.undo)
        m_trasher.undo();
}

void Toast::keyPressEvent(QKeyEvent *event)
{
    const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        if (plain && m_to.undo) {
            undo();
            return;
        }
        break;
    default:
        break;
    }
    QWidget::keyPressEvent(event);
}

void Toast::focusInEvent(QFocusEvent *event)
{
    QWidget::focusInEvent(event);
    update();
}

void Toast::focusOutEvent(QFocusEvent *event)
{
    QWidget::focusOutEvent(event);
    update();
}

void Toast::setPresence(qreal presence)
{
    m_presence = presence;
    relayout();
}

void Toast::setMorph(qreal morph)
{
    m_morph = morph;
    relayout();
}

QSizeF Toast::capsuleSize(const Content &content) const
{
    const QFontMetricsF fm(messageFont());
    qreal width = fm.horizontalAdvance(content.message);
    qreal height = fm.height();
    if (content.undo) {
        const QFontMetricsF ufm(undoFont());
        width += kGap + ufm.horizontalAdvance(undoTitle());
        height = std::max(height, ufm.height());
    }
    return {std::ceil(width + 2 * kPadX), std::ceil(height + 2 * kPadY)};
}

void Toast::relayout()
{
    if (!m_host)
        return;
    const QSizeF from = capsuleSize(m_from);
    const QSizeF to = capsuleSize(m_to);
    const qreal t = std::clamp(m_morph, 0.0, 1.0);
    QSizeF size = from + (to - from) * t;
    // Never wider than the window leaves room for.
    size.setWidth(std::min(size.width(), qreal(std::max(0, m_host->width() - 2 * kBottomMargin))));
    const QSize whole(int(std::ceil(size.width())), int(std::ceil(size.height())));
    // Out of sight below the bottom edge, shadow included, when presence is 0.
    const qreal drop = (1 - m_presence) * (kBottomMargin + whole.height() + kShadowOffsetY + kShadowRadius);
    const int x = (m_host->width() - whole.width()) / 2;
    const int y = int(std::lround(m_host->height() - kBottomMargin - whole.height() + drop));
    setGeometry(QRect(QPoint(x, y), whole));
    auto *shadow = static_cast<ToastShadow *>(m_shadow.data());
    shadow->setGeometry(QRect(QPoint(x - kShadowMargin, y - kShadowMargin + int(kShadowOffsetY)),
                              whole + QSize(2 * kShadowMargin, 2 * kShadowMargin)));
    shadow->setShape(QSizeF(whole), std::clamp(m_presence, 0.0, 1.0));
    update();
}

bool Toast::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_host && event->type() == QEvent::Resize && m_showing)
        relayout();
    return QWidget::eventFilter(watched, event);
}

QRectF Toast::undoRectIn(const Content &content, const QRectF &capsule) const
{
    if (!content.undo)
        return {};
    const QSizeF natural = capsuleSize(content);
    const QFontMetricsF ufm(undoFont());
    const qreal width = ufm.horizontalAdvance(undoTitle());
    // The content is centred, so a capsule narrower or wider than its own content shifts it alike.
    const qreal left = capsule.left() + (capsule.width() - natural.width()) / 2 + natural.width() - kPadX - width;
    // The whole padded end of the capsule takes the click, not only the letters.
    return QRectF(left - kGap / 2, capsule.top(), width + kGap / 2 + kPadX, capsule.height());
}

QRectF Toast::undoRect() const
{
    return undoRectIn(m_to, QRectF(rect()));
}

void Toast::paintContent(QPainter &p, const Content &content, const QRectF &capsule, qreal opacity) const
{
    if (opacity <= 0)
        return;
    p.save();
    p.setOpacity(p.opacity() * opacity);
    const QSizeF natural = capsuleSize(content);
    qreal x = capsule.left() + (capsule.width() - natural.width()) / 2 + kPadX;
    const qreal midY = capsule.center().y();
    const QFont font = messageFont();
    const QFontMetricsF fm(font);
    qreal messageWidth = fm.horizontalAdvance(content.message);
    QString message = content.message;
    if (natural.width() > capsule.width()) {
        // A window too narrow for the whole message keeps Undo and shortens the text.
        const qreal room = capsule.width() - 2 * kPadX -
                           (content.undo ? kGap + QFontMetricsF(undoFont()).horizontalAdvance(undoTitle()) : 0);
        message = fm.elidedText(content.message, Qt::ElideRight, std::max(0.0, room));
        messageWidth = fm.horizontalAdvance(message);
        x = capsule.left() + kPadX;
    }
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QPointF(x, midY - fm.height() / 2 + fm.ascent()), message);
    if (content.undo) {
        const QFont ufont = undoFont();
        const QFontMetricsF ufm(ufont);
        QColor ink = undoInk();
        if (m_undoDown)
            ink = ink.darker(125);
        else if (m_undoHover)
            ink = ink.lighter(115);
        p.setFont(ufont);
        p.setPen(ink);
        p.drawText(QPointF(x + messageWidth + kGap, midY - ufm.height() / 2 + ufm.ascent()), undoTitle());
    }
    p.restore();
}

void Toast::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setOpacity(std::clamp(m_presence, 0.0, 1.0));
    const QRectF capsule = QRectF(rect());
    p.fillPath(capsulePath(capsule), capsuleFill());
    p.setPen(QPen(QColor(255, 255, 255, 31), 1));
    p.setBrush(Qt::NoBrush);
    p.drawPath(capsulePath(capsule.adjusted(0.5, 0.5, -0.5, -0.5)));
    p.setClipPath(capsulePath(capsule));
    // The old message is gone before the new one appears: two texts laid over each other read as neither.
    const qreal t = std::clamp(m_morph, 0.0, 1.0);
    paintContent(p, m_from, capsule, std::max(0.0, 1 - 2 * t));
    paintContent(p, m_to, capsule, std::max(0.0, 2 * t - 1));
    if (hasFocus() && m_to.undo) {
        p.setClipping(false);
        // Always on the dark capsule, so the dark theme's ring.
        const QRectF around = undoRect().adjusted(kGap / 4, 3, -3, -3);
        FocusRing::draw(p, around, around.height() / 2, true);
    }
}

void Toast::setUndoHover(bool hover)
{
    if (hover == m_undoHover)
        return;
    m_undoHover = hover;
    setCursor(hover ? Qt::PointingHandCursor : Qt::ArrowCursor);
    update();
}

void Toast::mouseMoveEvent(QMouseEvent *event)
{
    setUndoHover(m_to.undo && undoRect().contains(event->position()));
    QWidget::mouseMoveEvent(event);
}

void Toast::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && m_to.undo && undoRect().contains(event->position())) {
        m_undoDown = true;
        update();
        event->accept();
        return;
    }
    // The capsule is solid: a click on it never reaches the page underneath.
    event->accept();
}

void Toast::mouseReleaseEvent(QMouseEvent *event)
{
    if (!m_undoDown) {
        event->accept();
        return;
    }
    m_undoDown = false;
    update();
    const bool hit = m_to.undo && undoRect().contains(event->position());
    event->accept();
    if (hit)
        undo();
}

void Toast::leaveEvent(QEvent *event)
{
    setUndoHover(false);
    QWidget::leaveEvent(event);
}
