#include "catalogstatus.h"

#include "library/library.h"
#include "model/fmt.h"
#include "theme/appearance.h"
#include "theme/theme.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QTimer>

#include <cmath>

namespace {

const QString kPrefix = QStringLiteral("Library ");
// One turn a second, a spoke at a time, as the platform's small indicator turns.
constexpr int kStepMs = 1000 / CatalogStatus::kSpokes;

QFont prefixFont()
{
    return Theme::font(12);
}

QFont sizeFont()
{
    return Theme::font(12, QFont::DemiBold);
}

} // namespace

CatalogStatus::CatalogStatus(Library &library, QWidget *parent)
    : QWidget(parent), m_library(library), m_spin(new QTimer(this))
{
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    Appearance::shared().follow(this, &m_dark);
    m_spin->setInterval(kStepMs);
    connect(m_spin, &QTimer::timeout, this, [this]() {
        m_step = (m_step + 1) % kSpokes;
        update();
    });
    connect(&library, &Library::busyChanged, this, &CatalogStatus::follow);
    connect(&library, &Library::totalSizeChanged, this, &CatalogStatus::follow);
}

bool CatalogStatus::showsSpinner() const
{
    return m_library.busy();
}

QString CatalogStatus::text() const
{
    return kPrefix + Fmt::size(m_library.totalSize());
}

QSize CatalogStatus::sizeHint() const
{
    if (showsSpinner())
        return {kSpinnerSide, kSpinnerSide};
    const qreal width = QFontMetricsF(prefixFont()).horizontalAdvance(kPrefix) +
                        QFontMetricsF(sizeFont()).horizontalAdvance(Fmt::size(m_library.totalSize()));
    return {int(std::ceil(width)), int(std::ceil(QFontMetricsF(sizeFont()).height()))};
}

QSize CatalogStatus::minimumSizeHint() const
{
    return sizeHint();
}

void CatalogStatus::follow()
{
    if (showsSpinner() && isVisible())
        m_spin->start();
    else
        m_spin->stop();
    updateGeometry();
    update();
}

void CatalogStatus::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    follow();
}

void CatalogStatus::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    m_spin->stop();
}

void CatalogStatus::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    if (showsSpinner()) {
        // Spokes fading behind the leading one, on the right edge where the size text ends.
        const qreal side = kSpinnerSide;
        const QPointF centre(width() - side / 2, height() / 2.0);
        const QColor ink = Theme::ink2.resolve(m_dark);
        QPen pen(ink, side * 0.1, Qt::SolidLine, Qt::RoundCap);
        for (int i = 0; i < kSpokes; ++i) {
            const int age = (m_step - i + kSpokes) % kSpokes;
            QColor spoke = ink;
            spoke.setAlphaF(float(ink.alphaF() * (1.0 - 0.8 * age / (kSpokes - 1))));
            pen.setColor(spoke);
            p.setPen(pen);
            const qreal angle = 2 * M_PI * i / kSpokes - M_PI / 2;
            const QPointF dir(std::cos(angle), std::sin(angle));
            p.drawLine(centre + dir * side * 0.25, centre + dir * side * 0.46);
        }
        return;
    }
    const QString size = Fmt::size(m_library.totalSize());
    const qreal sizeWidth = QFontMetricsF(sizeFont()).horizontalAdvance(size);
    const qreal prefixWidth = QFontMetricsF(prefixFont()).horizontalAdvance(kPrefix);
    const qreal left = width() - sizeWidth - prefixWidth;
    p.setFont(prefixFont());
    p.setPen(Theme::ink3.resolve(m_dark));
    p.drawText(QRectF(left, 0, prefixWidth + 1, height()), Qt::AlignLeft | Qt::AlignVCenter, kPrefix);
    p.setFont(sizeFont());
    p.setPen(Theme::ink.resolve(m_dark));
    p.drawText(QRectF(left + prefixWidth, 0, sizeWidth + 1, height()), Qt::AlignLeft | Qt::AlignVCenter, size);
}
