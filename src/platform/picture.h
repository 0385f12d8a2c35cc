#pragma once

#include <QByteArray>
#include <QSize>

#include <memory>
#include <optional>

namespace cv {
class Mat;
}

// One decoded image as the analysis services see it: 8-bit BGR pixels with
// the camera's orientation already applied and any transparency laid over
// white. Copies share the pixels.
class Picture final
{
public:
    // Largest image decoded at full size. Bigger ones are decoded reduced
    // by readers that can scale while decoding, and skipped by the others,
    // so one odd file cannot take gigabytes.
    static constexpr qint64 kMaxPixels = 24'000'000;

    // std::nullopt when the file cannot be opened, is not an image the
    // readers know, or is too large for a reader that cannot reduce it.
    static std::optional<Picture> load(const QByteArray &path);
    // The size to decode an image of `stored` size at: `stored` itself when
    // it is within kMaxPixels, else the same shape reduced to fit; an
    // invalid size when it cannot be reduced while decoding and is too big.
    static QSize decodeSize(QSize stored, bool canScale);
    // `pixels` must be 8-bit BGR (three channels).
    explicit Picture(const cv::Mat &pixels);

    int width() const;
    int height() const;
    const cv::Mat &pixels() const;

private:
    std::shared_ptr<const cv::Mat> m_pixels;
};
