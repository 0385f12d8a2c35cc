#include "picture.h"
#include "noatime.h"

#include <QFile>

#include <leptonica/allheaders.h>
#include <opencv2/core/utils/logger.hpp>
#include <opencv2/imgcodecs.hpp>

#include <mutex>
#include <sys/stat.h>

namespace {

// How much to reduce while decoding so the result stays under the pixel limit.
// Leptonica reads only the header; formats it does not know are decoded as they are.
int reductionFor(const QByteArray &bytes)
{
    l_int32 width = 0;
    l_int32 height = 0;
    if (pixReadHeaderMem(reinterpret_cast<const l_uint8 *>(bytes.constData()), size_t(bytes.size()), nullptr,
                         &width, &height, nullptr, nullptr, nullptr) != 0)
        return 1;
    const qint64 pixels = qint64(width) * height;
    for (int reduction : {1, 2, 4, 8})
        if (pixels / (qint64(reduction) * reduction) <= Picture::kMaxPixels)
            return reduction;
    return 0;
}

int readFlags(int reduction)
{
    switch (reduction) {
    case 2:
        return cv::IMREAD_REDUCED_COLOR_2;
    case 4:
        return cv::IMREAD_REDUCED_COLOR_4;
    case 8:
        return cv::IMREAD_REDUCED_COLOR_8;
    default:
        return cv::IMREAD_COLOR;
    }
}

} // namespace

std::optional<Picture> Picture::load(const QByteArray &path)
{
    // The decoders' complaints about unreadable files would end up on the
    // application's stderr; an unreadable image is an ordinary outcome here.
    static std::once_flag quiet;
    std::call_once(quiet, [] {
        cv::utils::logging::setLogLevel(cv::utils::logging::LOG_LEVEL_SILENT);
        setMsgSeverity(L_SEVERITY_NONE);
    });
    // Only regular files: opening a pipe or a device would wait or read forever.
    struct stat st;
    if (::stat(path.constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return std::nullopt;
    // Read through one descriptor that leaves the access time alone.
    QFile file;
    if (!NoAtime::openForReading(file, path))
        return std::nullopt;
    const QByteArray bytes = file.readAll();
    file.close();
    const int reduction = reductionFor(bytes);
    if (reduction == 0)
        return std::nullopt;
    try {
        const cv::Mat encoded(1, int(bytes.size()), CV_8UC1, const_cast<char *>(bytes.constData()));
        cv::Mat pixels = cv::imdecode(encoded, readFlags(reduction));
        if (pixels.empty() || pixels.type() != CV_8UC3)
            return std::nullopt;
        return Picture(pixels);
    } catch (const cv::Exception &) {
        // A damaged file can make a decoder give up with an exception.
        return std::nullopt;
    }
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
