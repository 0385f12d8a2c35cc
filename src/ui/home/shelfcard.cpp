#include "shelfcard.h"

#include "foldershape.h"
#include "homerules.h"

#include "components/softshadow.h"
#include "files/thumb.h"
#include "files/thumbs.h"
#include "library/library.h"
#include "state/appstate.h"
#include "theme/appearance.h"
#include "theme/symbols.h"
#include "theme/theme.h"

#include <QEasingCurve>
#include <QFontMetricsF>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QVariantAnimation>

#include <cmath>
#include <vector>

namespace {

constexpr qreal kTab = 16;
constexpr qreal kRadius = 16;
// The pocket in front of the prints, and how far the prints rise above it.
constexpr qreal kFrontHeight = 72;
constexpr qreal kFrontRadius = 12;
constexpr qreal kPrintLift = 28;
constexpr QSizeF kPrintSize{84, 66};
constexpr qreal kPrintInset = 3;
constexpr qreal kPrintCardRadius = 8;
constexpr qreal kPrintRadius = 6;
constexpr QSizeF kAppSize{60, 60};
constexpr qreal kShadowPad = 14;
constexpr qreal kShadowBlur = 6;
constexpr qreal kShadowDrop = 2;
constexpr qreal kCaptionInset = 16;
constexpr qreal kCaptionBottom = 15;
constexpr qreal kCaptionGap = 3;
constexpr qreal kEmptySymbol = 28;
constexpr int kFanMs = 260;

QFont titleFont()
{
    return Theme::font(16, QFont::DemiBold, Theme::Design::rounded);
}

QImage blank(const QSizeF &size, qreal ratio)
{
    QImage image(QSize(int(std::ceil(size.width() * ratio)), int(std::ceil(size.height() * ratio))),
                 QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::transparent);
    return image;
}

} // namespace

ShelfCard::ShelfCard(Kind kind, AppState &state, Library &library, Thumbs &thumbs, QWidget *parent)
    : QAbstractButton(parent), m_kind(kind), m_state(state), m_library(library), m_thumbs(thumbs),
      m_fanAnimation(new QVariantAnimation(this))
{
    setFixedHeight(int(kHeight));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setMouseTracking(true);
    setFocusPolicy(Qt::TabFocus);
    setCursor(Qt::PointingHandCursor);
    Appearance::shared().follow(this, &m_dark);
    // An application's stand-in icon is drawn in the appearance's colours.
    connect(&Appearance::shared(), &Appearance::changed, this, [this]() { m_printCache.clear(); });

    m_fanAnimation->setDuration(kFanMs);
    m_fanAnimation->setEasingCurve(QEasingCurve::OutCubic);
    connect(m_fanAnimation, &QVariantAnimation::valueChanged, this, [this](const QVariant &value) {
        m_fan = value.toReal();
        update();
    });
    connect(this, &QAbstractButton::clicked, this, [this]() { m_state.go(Route::kind(m_kind)); });
    connect(&library, &Library::byKindChanged, this, &ShelfCard::refresh);
    connect(&library, &Library::sizeByKindChanged, this, &ShelfCard::refresh);
    connect(&thumbs, &Thumbs::loaded, this, &ShelfCard::thumbnailLoaded);
    refresh();
}

ShelfCard::~ShelfCard() = default;

QSize ShelfCard::sizeHint() const
{
    return {260, int(kHeight)};
}

QSize ShelfCard::minimumSizeHint() const
{
    return {10, int(kHeight)};
}

void ShelfCard::refresh()
{
    const QList<FileItem> files = m_library.byKind().value(m_kind);
    m_count = files.size();
    m_prints = files.mid(0, kPrintCount);
    m_caption = HomeRules::shelfCaption(m_count, m_library.sizeByKind().value(m_kind, 0));
    setAccessibleName(Kinds::title(m_kind) + QStringLiteral(", ") + m_caption);

    QHash<QByteArray, Print> kept;
    for (const FileItem &item : std::as_const(m_prints)) {
        if (auto hit = m_printCache.constFind(item.path()); hit != m_printCache.constEnd())
            kept.insert(item.path(), *hit);
        m_thumbs.request(item.path(), thumbSize(item));
    }
    m_printCache = kept;
    update();
}

double ShelfCard::thumbSize(const FileItem &item) const
{
    return item.kind() == Kind::app ? kAppThumbSize : kPrintThumbSize;
}

void ShelfCard::thumbnailLoaded(const QString &key)
{
    for (const FileItem &item : std::as_const(m_prints)) {
        if (key == Thumbs::key(item.path(), thumbSize(item))) {
            m_printCache.remove(item.path());
            update();
        }
    }
}

QPainterPath ShelfCard::outline() const
{
    return FolderShape(kTab, kRadius).path(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5));
}

bool ShelfCard::hitButton(const QPoint &pos) const
{
    return outline().contains(QPointF(pos) + QPointF(0.5, 0.5));
}

void ShelfCard::mouseMoveEvent(QMouseEvent *event)
{
    setHover(hitButton(event->position().toPoint()));
    QAbstractButton::mouseMoveEvent(event);
}

void ShelfCard::leaveEvent(QEvent *event)
{
    setHover(false);
    QAbstractButton::leaveEvent(event);
}

void ShelfCard::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::EnabledChange && !isEnabled())
        setHover(false);
    QAbstractButton::changeEvent(event);
}

void ShelfCard::setHover(bool hover)
{
    if (hover == m_hover)
        return;
    m_hover = hover;
    // From wherever the fan is now, so a quick in-and-out never jumps.
    m_fanAnimation->stop();
    m_fanAnimation->setStartValue(m_fan);
    m_fanAnimation->setEndValue(hover ? 1.0 : 0.0);
    m_fanAnimation->setDuration(int(kFanMs * std::abs((hover ? 1.0 : 0.0) - m_fan)) + 1);
    m_fanAnimation->start();
}

QPixmap ShelfCard::print(const FileItem &item, qreal ratio)
{
    const QImage picture = m_thumbs.cached(item.path(), thumbSize(item));
    if (auto hit = m_printCache.constFind(item.path());
        hit != m_printCache.constEnd() && hit->pixmap.devicePixelRatio() == ratio &&
        hit->hasPicture == !picture.isNull())
        return hit->pixmap;

    const bool app = item.kind() == Kind::app;
    const QSizeF body = app ? kAppSize : kPrintSize + QSizeF(2 * kPrintInset, 2 * kPrintInset);
    const QSizeF whole = body + QSizeF(2 * kShadowPad, 2 * kShadowPad);
    const QRectF bodyRect(QPointF(kShadowPad, kShadowPad), body);

    // The opaque shape first, from which the shadow is blurred.
    QImage shape = blank(whole, ratio);
    QRectF iconRect = bodyRect;
    {
        QPainter p(&shape);
        p.setRenderHint(QPainter::Antialiasing);
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        if (app) {
            if (!picture.isNull()) {
                iconRect = Thumb::placed(bodyRect, picture.deviceIndependentSize(), false);
                p.drawImage(iconRect, picture);
            }
        } else {
            p.setPen(Qt::NoPen);
            p.setBrush(Qt::black);
            p.drawRoundedRect(bodyRect, kPrintCardRadius, kPrintCardRadius);
        }
    }
    QImage out = blank(whole, ratio);
    {
        QPainter p(&out);
        p.setRenderHint(QPainter::Antialiasing);
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        const bool shadowed = !app || !picture.isNull();
        if (shadowed)
            p.drawImage(QPointF(0, kShadowDrop), SoftShadow::of(shape, int(std::lround(kShadowBlur * ratio / 2)),
                                                            app ? 0.18 : 0.20));
        if (app) {
            if (picture.isNull())
                Thumb::paint(p, bodyRect, {}, false, m_dark);
            else
                p.drawImage(iconRect, picture);
        } else {
            p.setPen(Qt::NoPen);
            p.setBrush(Qt::white);
            p.drawRoundedRect(bodyRect, kPrintCardRadius, kPrintCardRadius);
            const QRectF frame = bodyRect.adjusted(kPrintInset, kPrintInset, -kPrintInset, -kPrintInset);
            QPainterPath clip;
            clip.addRoundedRect(frame, kPrintRadius, kPrintRadius);
            p.setClipPath(clip);
            if (picture.isNull()) {
                // The paper stays white in both appearances, so its stand-in picture is the light one.
                p.fillRect(frame, Theme::well.resolve(false));
                Thumb::paint(p, frame, {}, true, false);
            } else {
                p.drawImage(Thumb::placed(frame, picture.deviceIndependentSize(), true), picture);
            }
        }
    }
    Print made{QPixmap::fromImage(out), !picture.isNull()};
    m_printCache.insert(item.path(), made);
    return made.pixmap;
}

void ShelfCard::paintFront(QPainter &p, const QPainterPath &front, const QColor &edge) const
{
    const ThemeColor &tint = Theme::tint(m_kind);
    const QRectF box = front.boundingRect();
    // Opaque underneath, so the pocket hides the lower part of the prints.
    p.setPen(Qt::NoPen);
    p.setBrush(Theme::surface.resolve(m_dark));
    p.drawPath(front);
    QLinearGradient gradient(box.topLeft(), box.bottomLeft());
    gradient.setColorAt(0, tint.withOpacity(0.20).resolve(m_dark));
    gradient.setColorAt(1, tint.withOpacity(0.30).resolve(m_dark));
    p.setBrush(gradient);
    p.drawPath(front);
    p.setPen(QPen(edge, 1));
    p.setBrush(Qt::NoBrush);
    p.drawPath(front);
}

void ShelfCard::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    const ThemeColor &tint = Theme::tint(m_kind);
    const QRectF bounds = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    const QPainterPath folder = outline();
    const qreal strength = hasFocus() ? 1.0 : m_fan;
    const QColor edge = tint.withOpacity(0.28 + (0.60 - 0.28) * strength).resolve(m_dark);

    // The back of the folder.
    p.setPen(Qt::NoPen);
    p.setBrush(tint.withOpacity(0.42).resolve(m_dark));
    p.drawPath(folder);

    const qreal frontTop = bounds.bottom() - kFrontHeight;
    const qreal centreX = bounds.center().x();
    const qreal ratio = devicePixelRatioF();
    if (m_prints.isEmpty()) {
        const qreal side = Symbols::boxSize(kEmptySymbol);
        const qreal midY = (bounds.top() + kTab + frontTop) / 2;
        Symbols::draw(p, QRectF(centreX - side / 2, midY - side / 2, side, side), Kinds::symbol(m_kind),
                      kEmptySymbol, tint.withOpacity(0.60).resolve(m_dark), QFont::Light);
    } else {
        const int n = int(m_prints.size());
        for (int i : HomeRules::printOrder(n)) {
            const HomeRules::PrintPose pose = HomeRules::printPose(i, n, m_fan);
            const QPixmap pixmap = print(m_prints[i], ratio);
            const QSizeF size = pixmap.deviceIndependentSize();
            p.save();
            p.translate(centreX + pose.dx, frontTop - kPrintLift + pose.dy);
            p.rotate(pose.angle);
            p.drawPixmap(QPointF(-size.width() / 2, -size.height() / 2), pixmap);
            p.restore();
        }
    }

    // The pocket: the folder's lower part, with softer corners at its top.
    QPainterPath front;
    const qreal x0 = bounds.left();
    const qreal x1 = bounds.right();
    const qreal y1 = bounds.bottom();
    front.moveTo(x0, frontTop + kFrontRadius);
    front.quadTo(x0, frontTop, x0 + kFrontRadius, frontTop);
    front.lineTo(x1 - kFrontRadius, frontTop);
    front.quadTo(x1, frontTop, x1, frontTop + kFrontRadius);
    front.lineTo(x1, y1 - kRadius);
    front.quadTo(x1, y1, x1 - kRadius, y1);
    front.lineTo(x0 + kRadius, y1);
    front.quadTo(x0, y1, x0, y1 - kRadius);
    front.closeSubpath();
    paintFront(p, front, edge);

    p.setPen(QPen(edge, 1));
    p.setBrush(Qt::NoBrush);
    p.drawPath(folder);

    // Caption, from the bottom up.
    const QFont title = titleFont();
    const QFont mono = Theme::mono();
    const QFontMetricsF tfm(title);
    const QFontMetricsF mfm(mono);
    const qreal width = bounds.width() - 2 * kCaptionInset;
    const qreal captionTop = y1 - kCaptionBottom - mfm.height();
    const qreal titleTop = captionTop - kCaptionGap - tfm.height();
    p.setFont(title);
    p.setPen(Theme::ink.resolve(m_dark));
    p.drawText(QPointF(x0 + kCaptionInset, titleTop + tfm.ascent()),
               tfm.elidedText(Kinds::title(m_kind), Qt::ElideRight, width));
    p.setFont(mono);
    p.setPen(Theme::ink2.resolve(m_dark));
    p.drawText(QPointF(x0 + kCaptionInset, captionTop + mfm.ascent()),
               mfm.elidedText(m_caption, Qt::ElideRight, width));
}
