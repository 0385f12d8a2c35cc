#include "thumb.h"

#include "thumbs.h"

#include "theme/appearance.h"
#include "theme/symbols.h"
#include "theme/theme.h"

#include <QPaintDevice>
#include <QPainter>
#include <QPixmap>

namespace {

constexpr qreal kFallbackSymbolPoints = 18;
constexpr double kFallbackSymbolOpacity = 0.5;

} // namespace

Thumb::Thumb(Thumbs &thumbs, const QByteArray &path, double size, bool fill, QWidget *parent)
    : QWidget(parent), m_thumbs(thumbs), m_size(size), m_fill(fill)
{
    Appearance::shared().follow(this, &m_dark);
    connect(&m_thumbs, &Thumbs::loaded, this, &Thumb::loaded);
    setPath(path);
}

void Thumb::setPath(const QByteArray &path)
{
    m_path = path;
    m_image = m_thumbs.cached(path, m_size);
    if (m_image.isNull() && !path.isEmpty())
        m_thumbs.request(path, m_size);
    update();
}

void Thumb::loaded(const QString &key)
{
    if (key != Thumbs::key(m_path, m_size))
        return;
    m_image = m_thumbs.cached(m_path, m_size);
    update();
}

void Thumb::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    paint(p, rect(), m_image, m_fill, m_dark);
}

QRectF Thumb::placed(const QRectF &frame, const QSizeF &imageSize, bool fill)
{
    if (imageSize.isEmpty() || frame.isEmpty())
        return frame;
    const QSizeF size = imageSize.scaled(frame.size(), fill ? Qt::KeepAspectRatioByExpanding
                                                            : Qt::KeepAspectRatio);
    return {frame.center().x() - size.width() / 2, frame.center().y() - size.height() / 2,
            size.width(), size.height()};
}

void Thumb::paint(QPainter &painter, const QRectF &frame, const QImage &image, bool fill, bool dark)
{
    if (image.isNull()) {
        // Made once per appearance and scale: lists draw it for every file
        // whose picture is still on its way.
        static QPixmap made[2];
        const qreal ratio = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
        QPixmap &pixmap = made[dark ? 1 : 0];
        if (pixmap.isNull() || pixmap.devicePixelRatio() != ratio)
            pixmap = Symbols::pixmap(u"doc", kFallbackSymbolPoints,
                                     Theme::ink3.withOpacity(kFallbackSymbolOpacity).resolve(dark), ratio);
        const QSizeF size = pixmap.deviceIndependentSize();
        painter.drawPixmap(QPointF(frame.center().x() - size.width() / 2, frame.center().y() - size.height() / 2),
                           pixmap);
        return;
    }
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    if (fill)
        painter.setClipRect(frame, Qt::IntersectClip);
    painter.drawImage(placed(frame, image.deviceIndependentSize(), fill), image);
    painter.restore();
}
