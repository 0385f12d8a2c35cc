#include "testimages.h"

#include <QFile>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QRadialGradient>

#include <stdexcept>

namespace TestImages {

void writeText(const QByteArray &path, QSize size, const QList<Text> &texts, int pixelSize, bool dark)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(dark ? QColor(28, 28, 32) : QColor(Qt::white));
    QPainter painter(&image);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(pixelSize);
    painter.setFont(font);
    painter.setPen(dark ? QColor(230, 230, 230) : QColor(20, 20, 20));
    for (const Text &t : texts)
        painter.drawText(t.baseline, t.line);
    painter.end();
    if (!image.save(QFile::decodeName(path), "PNG"))
        throw std::runtime_error("cannot write " + path.toStdString());
}

void writeFaces(const QByteArray &path, int count)
{
    QImage image(640, 480, QImage::Format_RGB32);
    image.fill(QColor(70, 90, 110));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    for (int k = 0; k < count; ++k) {
        const double cx = count == 1 ? 320 : 180 + k * 280;
        const double cy = 240;
        QRadialGradient skin(QPointF(cx, cy - 10), 120);
        skin.setColorAt(0, QColor(235, 200, 170));
        skin.setColorAt(1, QColor(170, 120, 90));
        p.setBrush(skin);
        p.drawEllipse(QPointF(cx, cy), 85, 110);
        p.setBrush(QColor(60, 40, 30));
        p.drawEllipse(QPointF(cx, cy - 95), 85, 35);
        p.setBrush(QColor(40, 30, 25));
        p.drawRoundedRect(QRectF(cx - 55, cy - 45, 40, 8), 3, 3);
        p.drawRoundedRect(QRectF(cx + 15, cy - 45, 40, 8), 3, 3);
        p.setBrush(QColor(110, 75, 55));
        p.drawEllipse(QPointF(cx - 35, cy - 22), 26, 16);
        p.drawEllipse(QPointF(cx + 35, cy - 22), 26, 16);
        p.setBrush(QColor(30, 20, 15));
        p.drawEllipse(QPointF(cx - 35, cy - 20), 8, 8);
        p.drawEllipse(QPointF(cx + 35, cy - 20), 8, 8);
        p.setBrush(QColor(190, 140, 110));
        p.drawEllipse(QPointF(cx, cy + 20), 10, 18);
        p.setBrush(QColor(150, 60, 60));
        p.drawEllipse(QPointF(cx, cy + 60), 30, 9);
    }
    p.end();
    // Softened like a photograph, not crisp like a drawing.
    image = image.scaled(160, 120, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                .scaled(640, 480, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    if (!image.save(QFile::decodeName(path), "PNG"))
        throw std::runtime_error("cannot write " + path.toStdString());
}

void writeFilled(const QByteArray &path, QSize size, QColor colour)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    if (!image.save(QFile::decodeName(path), "PNG"))
        throw std::runtime_error("cannot write " + path.toStdString());
}

} // namespace TestImages
