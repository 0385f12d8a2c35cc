#include "softshadow.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// One running-sum box pass along rows or columns; whatever falls outside
// the image counts as clear.
template <typename T>
void boxPass(std::vector<T> &values, int width, int height, int radius, bool rows)
{
    const int lines = rows ? height : width;
    const int length = rows ? width : height;
    const T span = T(2 * radius + 1);
    std::vector<T> line(size_t(length), T(0));
    for (int l = 0; l < lines; ++l) {
        const auto at = [&](int i) -> T & {
            return rows ? values[size_t(l) * size_t(width) + size_t(i)] : values[size_t(i) * size_t(width) + size_t(l)];
        };
        for (int i = 0; i < length; ++i)
            line[size_t(i)] = at(i);
        T sum = 0;
        for (int i = 0; i < std::min(radius, length); ++i)
            sum += line[size_t(i)];
        for (int i = 0; i < length; ++i) {
            if (i + radius < length)
                sum += line[size_t(i + radius)];
            if (i - radius - 1 >= 0)
                sum -= line[size_t(i - radius - 1)];
            at(i) = sum / span;
        }
    }
}

template <typename T>
void blur(std::vector<T> &values, int width, int height, int radius)
{
    for (int round = 0; round < 3; ++round) {
        boxPass(values, width, height, radius, true);
        boxPass(values, width, height, radius, false);
    }
}

// The alpha of every pixel, row by row, divided by `full`.
template <typename T>
std::vector<T> alphaOf(const QImage &image, T full)
{
    const int w = image.width();
    const int h = image.height();
    std::vector<T> alpha(size_t(w) * size_t(h));
    for (int y = 0; y < h; ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < w; ++x)
            alpha[size_t(y) * size_t(w) + size_t(x)] = T(qAlpha(line[x])) / full;
    }
    return alpha;
}

} // namespace

void SoftShadow::blurAlpha(QImage &image, int radius)
{
    const int w = image.width();
    const int h = image.height();
    std::vector<int> alpha = alphaOf(image, 1);
    blur(alpha, w, h, radius);
    for (int y = 0; y < h; ++y) {
        QRgb *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < w; ++x)
            line[x] = qRgba(0, 0, 0, std::clamp(alpha[size_t(y) * size_t(w) + size_t(x)], 0, 255));
    }
}

QImage SoftShadow::of(const QImage &shape, int radius, qreal opacity)
{
    const int w = shape.width();
    const int h = shape.height();
    std::vector<float> a = alphaOf(shape, 255.0f);
    blur(a, w, h, radius);
    QImage out(w, h, QImage::Format_ARGB32_Premultiplied);
    out.setDevicePixelRatio(shape.devicePixelRatio());
    for (int y = 0; y < h; ++y) {
        auto *line = reinterpret_cast<QRgb *>(out.scanLine(y));
        for (int x = 0; x < w; ++x)
            line[x] = qRgba(0, 0, 0,
                            int(std::lround(std::clamp(a[size_t(y) * size_t(w) + size_t(x)] * opacity, 0.0, 1.0) * 255)));
    }
    return out;
}
