#include "storagebar.h"

#include "library/library.h"
#include "model/fmt.h"
#include "state/appstate.h"
#include "theme/appearance.h"
#include "theme/theme.h"

#include <QEasingCurve>
#include <QFontMetricsF>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QToolTip>
#include <QVariantAnimation>

#include <cmath>

namespace {

constexpr qreal kGap = 10;
constexpr qreal kItemSpacing = 16;
constexpr qreal kPartSpacing = 6;
constexpr qreal kLineSpacing = 6;
constexpr qreal kDot = 7;
constexpr qreal kDimmedSegment = 0.35;
constexpr qreal kDimmedLegend = 0.45;
constexpr int kFadeMs = 150;

QFont titleFont()
{
    return Theme::font(11.5);
}

qreal lineHeight()
{
    return std::max(QFontMetricsF(titleFont()).height(), QFontMetricsF(Theme::mono()).height());
}

int slot(Kind kind)
{
    return int(kind);
}

} // namespace

StorageBar::StorageBar(AppState &state, Library &library, QWidget *parent)
    : QWidget(parent), m_state(state), m_library(library), m_fade(new QVariantAnimation(this))
{
    QSizePolicy policy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
    setMouseTracking(true);
    Appearance::shared().follow(this, &m_dark);

    m_fade->setDuration(kFadeMs);
    m_fade->setEasingCurve(QEasingCurve::OutCubic);
    m_fade->setStartValue(0.0);
    m_fade->setEndValue(1.0);
    connect(m_fade, &QVariantAnimation::valueChanged, this, [this](const QVariant &value) {
        const qreal t = value.toReal();
        for (size_t i = 0; i < m_dim.size(); ++i)
            m_dim[i] = m_dimFrom[i] + (m_dimTo[i] - m_dimFrom[i]) * t;
        update();
    });
    connect(&library, &Library::sizeByKindChanged, this, &StorageBar::refresh);
    refresh();
}

StorageBar::~StorageBar() = default;

QString StorageBar::tooltip(Kind kind, qint64 bytes)
{
    return Kinds::title(kind) + QStringLiteral(" · ") + Fmt::size(bytes);
}

qreal StorageBar::segmentOpacity(Kind kind) const
{
    return 1 - (1 - kDimmedSegment) * m_dim[slot(kind)];
}

void StorageBar::refresh()
{
    relayout();
    // A kind that went away cannot stay pointed at.
    if (m_hovered && segmentRect(*m_hovered).isEmpty())
        setHovered(std::nullopt);
    updateGeometry();
    update();
}

void StorageBar::relayout()
{
    m_segments = HomeRules::storageSegments(m_library.sizeByKind(), width());
    qreal height = 0;
    m_legend = legendFor(width(), &height);
}

QList<StorageBar::LegendItem> StorageBar::legendFor(qreal width, qreal *height) const
{
    const QFontMetricsF tfm(titleFont());
    const QFontMetricsF mfm(Theme::mono());
    const qreal line = lineHeight();
    const qreal top = kBarHeight + kGap;
    QList<LegendItem> out;
    qreal x = 0;
    qreal y = top;
    for (const HomeRules::Segment &segment : HomeRules::storageSegments(m_library.sizeByKind(), width)) {
        LegendItem item;
        item.kind = segment.kind;
        item.title = Kinds::title(segment.kind);
        item.size = Fmt::size(segment.bytes);
        const qreal w = kDot + kPartSpacing + tfm.horizontalAdvance(item.title) + kPartSpacing +
                        mfm.horizontalAdvance(item.size);
        // Entries that do not fit on the line start the next one.
        if (x > 0 && x + w > width) {
            x = 0;
            y += line + kLineSpacing;
        }
        item.rect = QRectF(x, y, w, line);
        x += w + kItemSpacing;
        out.append(item);
    }
    *height = out.isEmpty() ? kBarHeight : y + line;
    return out;
}

QRectF StorageBar::segmentRect(Kind kind) const
{
    for (const HomeRules::Segment &s : m_segments) {
        if (s.kind == kind)
            return {s.x, 0, s.width, kBarHeight};
    }
    return {};
}

int StorageBar::heightForWidth(int width) const
{
    qreal height = 0;
    legendFor(width, &height);
    return int(std::ceil(height));
}

QSize StorageBar::sizeHint() const
{
    return {600, heightForWidth(std::max(width(), 1))};
}

QSize StorageBar::minimumSizeHint() const
{
    return {10, int(std::ceil(kBarHeight))};
}

void StorageBar::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    relayout();
}

std::optional<Kind> StorageBar::kindAt(const QPointF &point) const
{
    if (point.y() < 0 || point.y() > kBarHeight || point.x() < 0 || point.x() > width())
        return std::nullopt;
    for (const HomeRules::Segment &s : m_segments) {
        // The 2-point gaps belong to the segment on their left, so the pointer never flickers.
        if (point.x() >= s.x && point.x() < s.x + s.width + HomeRules::kSegmentGap)
            return s.kind;
    }
    return std::nullopt;
}

void StorageBar::setHovered(std::optional<Kind> kind)
{
    if (kind == m_hovered)
        return;
    m_hovered = kind;
    setCursor(kind ? Qt::PointingHandCursor : Qt::ArrowCursor);
    m_dimFrom = m_dim;
    for (Kind k : Kinds::all)
        m_dimTo[slot(k)] = (kind && *kind != k) ? 1.0 : 0.0;
    m_fade->stop();
    m_fade->start();
}

void StorageBar::mouseMoveEvent(QMouseEvent *event)
{
    setHovered(kindAt(event->position()));
    QWidget::mouseMoveEvent(event);
}

void StorageBar::leaveEvent(QEvent *event)
{
    setHovered(std::nullopt);
    QWidget::leaveEvent(event);
}

void StorageBar::mousePressEvent(QMouseEvent *event)
{
    m_pressed = event->button() == Qt::LeftButton ? kindAt(event->position()) : std::nullopt;
    if (!m_pressed)
        QWidget::mousePressEvent(event);
}

void StorageBar::openKind(Kind kind)
{
    m_state.go(Route::kind(kind));
}

void StorageBar::mouseReleaseEvent(QMouseEvent *event)
{
    const std::optional<Kind> pressed = std::exchange(m_pressed, std::nullopt);
    if (pressed && event->button() == Qt::LeftButton && kindAt(event->position()) == pressed) {
        openKind(*pressed);
        return;
    }
    QWidget::mouseReleaseEvent(event);
}

bool StorageBar::event(QEvent *event)
{
    if (event->type() == QEvent::ToolTip) {
        const auto *help = static_cast<QHelpEvent *>(event);
        const std::optional<Kind> kind = kindAt(help->pos());
        if (!kind) {
            QToolTip::hideText();
            event->ignore();
            return true;
        }
        const qint64 bytes = m_library.sizeByKind().value(*kind, 0);
        QToolTip::showText(help->globalPos(), tooltip(*kind, bytes), this,
                           segmentRect(*kind).toAlignedRect());
        return true;
    }
    return QWidget::event(event);
}

void StorageBar::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);

    const QRectF bar(0, 0, width(), kBarHeight);
    QPainterPath capsule;
    capsule.addRoundedRect(bar, kBarHeight / 2, kBarHeight / 2);
    p.save();
    p.setClipPath(capsule);
    p.setPen(Qt::NoPen);
    for (const HomeRules::Segment &s : std::as_const(m_segments)) {
        p.setOpacity(segmentOpacity(s.kind));
        p.setBrush(Theme::tint(s.kind).resolve(m_dark));
        p.drawRect(QRectF(s.x, 0, s.width, kBarHeight));
    }
    p.restore();
    if (m_segments.isEmpty()) {
        // An empty catalog still shows where the bar would be.
        p.setPen(Qt::NoPen);
        p.setBrush(Theme::well.resolve(m_dark));
        p.drawPath(capsule);
    }

    const QFont title = titleFont();
    const QFont mono = Theme::mono();
    const QFontMetricsF tfm(title);
    const QFontMetricsF mfm(mono);
    for (const LegendItem &item : std::as_const(m_legend)) {
        p.setOpacity(1 - (1 - kDimmedLegend) * m_dim[slot(item.kind)]);
        const qreal midY = item.rect.center().y();
        p.setPen(Qt::NoPen);
        p.setBrush(Theme::tint(item.kind).resolve(m_dark));
        p.drawEllipse(QRectF(item.rect.left(), midY - kDot / 2, kDot, kDot));
        qreal x = item.rect.left() + kDot + kPartSpacing;
        p.setFont(title);
        p.setPen(Theme::ink2.resolve(m_dark));
        p.drawText(QPointF(x, midY - tfm.height() / 2 + tfm.ascent()), item.title);
        x += tfm.horizontalAdvance(item.title) + kPartSpacing;
        p.setFont(mono);
        p.setPen(Theme::ink3.resolve(m_dark));
        p.drawText(QPointF(x, midY - mfm.height() / 2 + mfm.ascent()), item.size);
    }
    p.setOpacity(1);
}
