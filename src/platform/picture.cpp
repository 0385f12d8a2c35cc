#include "picture.h"
#include "noatime.h"

#include <QFile>
#include <QImage>
#include <QImageReader>

#include <opencv2/core.hpp>

#include <cerrno>
#include <cmath>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Transparent parts are laid over white, as a viewer shows them; the
// colour stored under a fully transparent pixel is often black.
cv::Mat toBgr(const QImage &image)
{
    cv::Mat out(image.height(), image.width(), CV_8UC3);
    const bool alpha = image.hasAlphaChannel();
    const QImage argb = image.convertToFormat(alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    for (int y = 0; y < argb.height(); ++y) {
        const auto *in = reinterpret_cast<const QRgb *>(argb.constScanLine(y));
        auto *row = out.ptr<uchar>(y);
        for (int x = 0; x < argb.width(); ++x) {
            const QRgb p = in[x];
            int r = qRed(p), g = qGreen(p), b = qBlue(p);
            if (alpha) {
                const int a = qAlpha(p);
                r = (r * a + 255 * (255 - a) + 127) / 255;
                g = (g * a + 255 * (255 - a) + 127) / 255;
                b = (b * a + 255 * (255 - a) + 127) / 255;
            }
            row[3 * x] = uchar(b);
            row[3 * x + 1] = uchar(g);
            row[3 * x + 2] = uchar(r);
        }
    }
    return out;
}

} // namespace

QSize Picture::decodeSize(QSize stored, bool canScale)
{
    if (stored.isEmpty())
        return {};
    const double pixels = double(stored.width()) * double(stored.height());
    if (pixels <= double(kMaxPixels))
        return stored;
    if (!canScale)
        return {};
    const double factor = std::sqrt(double(kMaxPixels) / pixels);
    return QSize(std::max(1, int(stored.width() * factor)), std::max(1, int(stored.height() * factor)));
}

std::optional<Picture> Picture::load(const QByteArray &path)
{
    // Reading a picture for its text is not using it: the access time stays.
    const int fd = NoAtime::open(path.constData(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        return std::nullopt;
    QFile file;
    // Only regular files: a pipe or a device would wait or read forever.
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || !file.open(fd, QIODevice::ReadOnly, QFile::AutoCloseHandle)) {
        ::close(fd);
        return std::nullopt;
    }
    QImageReader reader(&file);
    reader.setAutoTransform(true);
    // The header alone gives the size; nothing is decoded before it is checked.
    const QSize stored = reader.size();
    if (stored.isValid()) {
        const QSize wanted = decodeSize(stored, reader.supportsOption(QImageIOHandler::ScaledSize));
        if (!wanted.isValid())
            return std::nullopt;
        if (wanted != stored)
            reader.setScaledSize(wanted);
    }
    const QImage image = reader.read();
    if (image.isNull())
        return std::nullopt;
    // A reader that gives no size up front is bounded by Qt's allocation
    // limit while decoding; the analysis is held to ours.
    if (qint64(image.width()) * image.height() > kMaxPixels)
        return std::nullopt;
    return Picture(toBgr(image));
}

Picture::Picture(const cv::Mat &pixels) : m_pixels(std::make_shared<const cv::Mat>(pixels)) {}

int Picture::width() const
{
    return m_pixels->cols;
}

int Picture::height() const
{
    return m_pixels->rows;
}

const cv::Mat &Picture::pixels() const
{
    return *m_pixels;
}
