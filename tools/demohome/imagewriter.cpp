#include "imagewriter.h"

#include <algorithm>
#include <QBuffer>
#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace {

const char kSans[] = "DejaVu Sans";
const char kMono[] = "DejaVu Sans Mono";

QByteArray encode(const QImage &image, const char *format, int quality = -1)
{
    QByteArray out;
    QBuffer buffer(&out);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format, quality);
    return out;
}

QFont font(const char *family, int pixels, bool bold = false)
{
    QFont f(QString::fromLatin1(family));
    f.setPixelSize(pixels);
    f.setBold(bold);
    f.setHintingPreference(QFont::PreferFullHinting);
    return f;
}

QColor hue(Rng &rng, int saturation, int value)
{
    return QColor::fromHsv(int(rng.range(0, 359)), saturation, value);
}

// Small random brightness steps per pixel, as a camera sensor leaves them.
void grain(QImage &image, Rng &rng, int strength)
{
    const int width = image.width();
    for (int y = 0; y < image.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        quint64 bits = 0;
        for (int x = 0; x < width; ++x) {
            if ((x & 7) == 0)
                bits = rng.next();
            const int d = int(bits & 0xFF) % (2 * strength + 1) - strength;
            bits >>= 8;
            const QRgb p = line[x];
            line[x] = qRgb(std::clamp(qRed(p) + d, 0, 255), std::clamp(qGreen(p) + d, 0, 255),
                           std::clamp(qBlue(p) + d, 0, 255));
        }
    }
}

QPolygonF ridge(Rng &rng, int width, int height, double base, double amplitude)
{
    QPolygonF poly;
    poly << QPointF(0, height);
    double y = base;
    for (int i = 0; i <= 24; ++i) {
        y = std::clamp(y + (rng.unit() - 0.5) * amplitude, base - amplitude * 2, base + amplitude);
        poly << QPointF(width * i / 24.0, y);
    }
    poly << QPointF(width, height);
    return poly;
}

void drawPage(QPainter &p, const QRectF &page, const QString &heading, const QStringList &lines)
{
    p.fillRect(page, QColor(252, 252, 248));
    const double margin = page.width() * 0.08;
    double y = page.top() + margin;
    p.setPen(Qt::black);
    const QFont head = font(kSans, int(page.width() / 14), true);
    p.setFont(head);
    const QRectF headRect(page.left() + margin, y, page.width() - 2 * margin,
                          QFontMetrics(head).height() * 2.4);
    p.drawText(headRect, Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap, heading);
    y += p.boundingRect(headRect, Qt::AlignHCenter | Qt::TextWordWrap, heading).height() +
         margin / 2;
    p.setPen(QPen(QColor(60, 60, 60), 2));
    p.drawLine(QPointF(page.left() + margin, y), QPointF(page.right() - margin, y));
    y += margin / 3;
    const QFont body = font(kMono, std::max(18, int(page.width() / 28)));
    p.setFont(body);
    p.setPen(Qt::black);
    const double step = QFontMetrics(body).height() * 1.35;
    for (const QString &line : lines) {
        if (y + step > page.bottom() - margin / 2)
            break;
        // "label<TAB>amount" lines print the amount flush right, as tills do.
        const qsizetype tab = line.indexOf(u'\t');
        const QRectF row(page.left() + margin, y, page.width() - 2 * margin, step);
        if (tab >= 0) {
            p.drawText(row, Qt::AlignLeft | Qt::AlignVCenter, line.left(tab));
            p.drawText(row, Qt::AlignRight | Qt::AlignVCenter, line.mid(tab + 1));
        } else {
            p.drawText(row, Qt::AlignLeft | Qt::AlignVCenter, line);
        }
        y += step;
    }
}

} // namespace

QByteArray ImageWriter::photo(Rng &rng, int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const int skyHue = int(rng.range(180, 230));
    const bool dusk = rng.chance(0.3);
    QLinearGradient sky(0, 0, 0, height * 0.6);
    sky.setColorAt(0, QColor::fromHsv(skyHue, 160, dusk ? 120 : 230));
    sky.setColorAt(1, dusk ? QColor::fromHsv(int(rng.range(10, 40)), 170, 250)
                           : QColor::fromHsv(skyHue, 60, 250));
    p.fillRect(image.rect(), sky);
    const double sunX = width * (0.15 + 0.7 * rng.unit());
    const double sunY = height * (0.12 + 0.3 * rng.unit());
    p.setPen(Qt::NoPen);
    p.setBrush(dusk ? QColor(255, 190, 120) : QColor(255, 250, 220));
    p.drawEllipse(QPointF(sunX, sunY), width * 0.05, width * 0.05);
    for (int i = 0; i < 3; ++i) {
        QColor c = QColor::fromHsv(int(rng.range(90, 160)), 80 + i * 40, 170 - i * 45);
        p.setBrush(c);
        p.drawPolygon(ridge(rng, width, height, height * (0.45 + 0.12 * i), height * 0.06));
    }
    if (rng.chance(0.5)) {
        QLinearGradient water(0, height * 0.78, 0, height);
        water.setColorAt(0, QColor::fromHsv(skyHue, 120, 200));
        water.setColorAt(1, QColor::fromHsv(skyHue, 180, 120));
        p.setBrush(water);
        p.drawRect(QRectF(0, height * 0.8, width, height * 0.2));
    }
    for (int t = int(rng.range(3, 12)); t > 0; --t) {
        const double x = width * rng.unit();
        const double base = height * (0.82 + 0.15 * rng.unit());
        const double h = height * (0.08 + 0.12 * rng.unit());
        p.setBrush(QColor::fromHsv(int(rng.range(100, 140)), 150, int(rng.range(50, 100))));
        p.drawPolygon(
            QPolygonF({QPointF(x, base - h), QPointF(x - h / 3, base), QPointF(x + h / 3, base)}));
    }
    p.end();
    grain(image, rng, 6);
    return encode(image, "JPG", 88);
}

QByteArray ImageWriter::paper(const QString &heading, const QStringList &lines, bool photographed,
                              Rng &rng)
{
    if (!photographed) {
        QImage image(1240, 1754, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter p(&image);
        p.setRenderHint(QPainter::TextAntialiasing);
        drawPage(p, QRectF(image.rect()), heading, lines);
        return encode(image, "PNG");
    }
    QImage image(1200, 1600, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient table(0, 0, 1200, 1600);
    table.setColorAt(0, QColor::fromHsv(int(rng.range(20, 35)), 120, 120));
    table.setColorAt(1, QColor::fromHsv(int(rng.range(20, 35)), 140, 80));
    p.fillRect(image.rect(), table);
    const QRectF page(170, 90, 860, 1420);
    p.fillRect(page.translated(10, 14), QColor(0, 0, 0, 90));
    drawPage(p, page, heading, lines);
    p.end();
    grain(image, rng, 4);
    return encode(image, "JPG", 90);
}

QByteArray ImageWriter::slide(const QString &title, const QStringList &bullets, Rng &rng)
{
    QImage image(1600, 900, QImage::Format_RGB32);
    const QColor accent = hue(rng, 170, 190);
    image.fill(QColor(250, 250, 252));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(QRect(0, 0, 1600, 190), accent);
    p.setPen(Qt::white);
    p.setFont(font(kSans, 76, true));
    p.drawText(QRect(80, 0, 1440, 190), Qt::AlignLeft | Qt::AlignVCenter, title);
    p.setPen(QColor(30, 30, 40));
    p.setFont(font(kSans, 48));
    int y = 260;
    for (const QString &b : bullets) {
        p.setBrush(accent);
        p.setPen(Qt::NoPen);
        p.drawEllipse(QPointF(110, y + 30), 10, 10);
        p.setPen(QColor(30, 30, 40));
        p.drawText(QRect(150, y, 1370, 64), Qt::AlignLeft | Qt::AlignVCenter, b);
        y += 110;
    }
    return encode(image, "PNG");
}

QByteArray ImageWriter::screenshot(const QString &window, const QStringList &lines, Rng &rng)
{
    QImage image(1920, 1080, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient desk(0, 0, 1920, 1080);
    desk.setColorAt(0, hue(rng, 120, 120));
    desk.setColorAt(1, hue(rng, 160, 60));
    p.fillRect(image.rect(), desk);
    p.fillRect(QRect(0, 0, 1920, 36), QColor(20, 20, 22));
    p.setPen(Qt::white);
    p.setFont(font(kSans, 18, true));
    p.drawText(
        QRect(0, 0, 1920, 36), Qt::AlignCenter,
        QStringLiteral("%1:%2").arg(rng.range(8, 19)).arg(rng.range(0, 59), 2, 10, QChar(u'0')));
    const QRect frame(int(rng.range(120, 260)), int(rng.range(90, 150)), 1440, 880);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 70));
    p.drawRoundedRect(frame.translated(0, 8), 12, 12);
    p.setBrush(QColor(246, 245, 244));
    p.drawRoundedRect(frame, 12, 12);
    p.fillRect(QRect(frame.left(), frame.top() + 48, frame.width(), frame.height() - 60),
               Qt::white);
    p.setPen(QColor(40, 40, 40));
    p.setFont(font(kSans, 22, true));
    p.drawText(QRect(frame.left(), frame.top(), frame.width(), 48), Qt::AlignCenter, window);
    p.setFont(font(kSans, 34));
    p.setPen(QColor(20, 20, 20));
    int y = frame.top() + 90;
    for (const QString &line : lines) {
        if (y > frame.bottom() - 70)
            break;
        p.drawText(QRect(frame.left() + 60, y, frame.width() - 120, 50),
                   Qt::AlignLeft | Qt::AlignVCenter, line);
        y += 66;
    }
    return encode(image, "PNG");
}

QByteArray ImageWriter::chart(const QString &title, const QStringList &labels, Rng &rng)
{
    QImage image(1400, 900, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::black);
    p.setFont(font(kSans, 52, true));
    p.drawText(QRect(0, 20, 1400, 100), Qt::AlignCenter, title);
    const int n = int(std::max<qsizetype>(1, labels.size()));
    const int slot = 1200 / n;
    const QColor accent = hue(rng, 150, 200);
    p.setFont(font(kSans, 30));
    for (int i = 0; i < labels.size(); ++i) {
        const int h = int(rng.range(120, 560));
        const QRect bar(100 + i * slot + slot / 6, 780 - h, slot * 2 / 3, h);
        p.fillRect(bar, accent.lighter(100 + 15 * (i % 3)));
        p.setPen(Qt::black);
        p.drawText(QRect(100 + i * slot, 790, slot, 50), Qt::AlignCenter, labels[i]);
    }
    p.drawLine(90, 780, 1320, 780);
    return encode(image, "PNG");
}

QByteArray ImageWriter::poster(const QString &title, const QString &subtitle, Rng &rng)
{
    QImage image(1080, 1350, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient back(0, 0, 0, 1350);
    const QColor top = hue(rng, 200, 230);
    back.setColorAt(0, top);
    back.setColorAt(1, top.darker(220));
    p.fillRect(image.rect(), back);
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 6; ++i) {
        p.setBrush(QColor(255, 255, 255, int(rng.range(20, 60))));
        const double r = double(rng.range(60, 260));
        p.drawEllipse(QPointF(double(rng.range(0, 1080)), double(rng.range(0, 1350))), r, r);
    }
    p.setPen(Qt::white);
    p.setFont(font(kSans, 110, true));
    p.drawText(QRect(60, 300, 960, 500), Qt::AlignCenter | Qt::TextWordWrap, title);
    p.setFont(font(kSans, 48));
    p.drawText(QRect(60, 860, 960, 200), Qt::AlignCenter | Qt::TextWordWrap, subtitle);
    return encode(image, "PNG");
}

QByteArray ImageWriter::icon(const QString &letter, Rng &rng)
{
    QImage image(256, 256, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient fill(0, 0, 0, 256);
    const QColor c = hue(rng, 180, 220);
    fill.setColorAt(0, c.lighter(130));
    fill.setColorAt(1, c.darker(130));
    p.setPen(Qt::NoPen);
    p.setBrush(fill);
    p.drawRoundedRect(QRectF(16, 16, 224, 224), 48, 48);
    p.setPen(Qt::white);
    p.setFont(font(kSans, 140, true));
    p.drawText(QRect(0, 0, 256, 256), Qt::AlignCenter, letter);
    return encode(image, "PNG");
}
