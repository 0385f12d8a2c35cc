#pragma once

#include <QByteArray>

#include <memory>
#include <optional>

namespace cv {
class Mat;
}

// One decoded image as the analysis services see it: 8-bit BGR pixels with
// the camera's orientation already applied. Copies share the pixels.
class Picture final
{
public:
    // Largest image decoded at full size; bigger ones are decoded reduced,
    // so one odd file cannot take gigabytes.
    static constexpr qint64 kMaxPixels = 64'000'000;

    // std::nullopt when the file cannot be opened or is not an image the
    // decoders know.
    static std::optional<Picture> load(const QByteArray &path);
    // `pixels` must be 8-bit BGR (three channels).
    explicit Picture(const cv::Mat &pixels);

    int width() const;
    int height() const;
    const cv::Mat &pixels() const;

private:
    std::shared_ptr<const cv::Mat> m_pixels;
};
