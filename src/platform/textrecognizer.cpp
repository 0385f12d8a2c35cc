#include "textrecognizer.h"

#include "picture.h"

#include <opencv2/imgproc.hpp>
#include <tesseract/baseapi.h>
#include <tesseract/resultiterator.h>

#include <algorithm>
#include <cmath>
#include <dlfcn.h>
#include <limits>
#include <optional>
#include <string>
#include <vector>

namespace {

// Capital letters are about this many times the height of an "x" in the
// usual screen and print faces.
constexpr double kCapitalPerXHeight = 1.35;
// Too few glyph-like shapes say nothing about the size of the text.
constexpr size_t kMinGlyphs = 12;
// The window a pixel's background is taken from: larger than a glyph of
// screen text, smaller than a line of it.
constexpr int kBackgroundWindow = 31;
// Text this much apart from its background in some channel (of 255) is
// full black; fainter differences are grey, for the engine to threshold.
constexpr double kInkGain = 2.0;
// Straight runs this long are edges or rules, not strokes of letters.
constexpr int kRuleLength = 41;

// Tesseract asks OpenMP for several threads in each parallel region, which
// on a small machine makes it several times slower than one thread. The
// runtime reads OMP_THREAD_LIMIT only while it loads, before main(); but the
// limit on active parallel levels is kept per thread, and at zero every region
// this thread opens runs on this thread alone. Other threads keep their own.
void keepOpenMpOnThisThread()
{
    using SetLevels = void (*)(int);
    if (auto set = reinterpret_cast<SetLevels>(dlsym(RTLD_DEFAULT, "omp_set_max_active_levels")))
        set(0);
}

// The usual height of lower-case letters, from the shapes of a black and
// white version of the image: most glyphs of running text are x-high.
std::optional<double> xHeight(const cv::Mat &gray)
{
    cv::Mat ink;
    cv::threshold(gray, ink, 0, 255, cv::THRESH_BINARY_INV | cv::THRESH_OTSU);
    // Ink is the rarer of the two tones.
    if (cv::countNonZero(ink) > int(ink.total() / 2))
        cv::bitwise_not(ink, ink);
    cv::Mat labels;
    cv::Mat stats;
    cv::Mat centroids;
    const int count = cv::connectedComponentsWithStats(ink, labels, stats, centroids, 8, CV_32S);
    std::vector<int> heights;
    heights.reserve(size_t(std::max(count, 0)));
    for (int i = 1; i < count; ++i) {
        const int w = stats.at<int>(i, cv::CC_STAT_WIDTH);
        const int h = stats.at<int>(i, cv::CC_STAT_HEIGHT);
        const int area = stats.at<int>(i, cv::CC_STAT_AREA);
        // Specks, rules, boxes and solid blocks are not letters.
        if (h < 4 || h > 300 || w > 3 * h || area * 10 < w * h || area * 10 > w * h * 9)
            continue;
        heights.push_back(h);
    }
    if (heights.size() < kMinGlyphs)
        return std::nullopt;
    auto middle = heights.begin() + std::ptrdiff_t(heights.size() / 2);
    std::nth_element(heights.begin(), middle, heights.end());
    return double(*middle);
}

// How much to enlarge the text so its capital letters are about
// kCapitalHeight pixels tall; 1 when the text is large enough already.
double upscaleFor(const cv::Mat &ink)
{
    const std::optional<double> x = xHeight(ink);
    if (!x)
        return 1.0;
    double scale = TextRecognizer::kCapitalHeight / (*x * kCapitalPerXHeight);
    scale = std::min(scale, TextRecognizer::kMaxUpscale);
    scale = std::min(scale, std::sqrt(double(TextRecognizer::kMaxScaledPixels) / double(ink.total())));
    // A few per cent larger reads no better and costs time.
    return scale > 1.1 ? scale : 1.0;
}

// A pixel is flat when it and its neighbours to the right, below and
// diagonally below differ by at most this much (of 255) in every channel: window fills, bars and panels are; the strokes
// and edges of letters are not.
constexpr int kFlatness = 6;
// Flat patches smaller than this are the insides of bold letters or the
// holes of an "o", not a background text is drawn on.
constexpr int kMinBackgroundArea = 400;

// Whether each pixel lies in a large flat patch; empty when none does.
cv::Mat backgroundMask(const cv::Mat &bgr)
{
    // Channel by channel, so a large picture needs no three-channel copies.
    const cv::Mat square = cv::getStructuringElement(cv::MORPH_RECT, {2, 2});
    cv::Mat range;
    for (int c = 0; c < bgr.channels(); ++c) {
        cv::Mat channel;
        cv::extractChannel(bgr, channel, c);
        cv::Mat high;
        cv::dilate(channel, high, square, {0, 0});
        cv::erode(channel, channel, square, {0, 0});
        high -= channel;
        if (range.empty())
            range = high;
        else
            cv::max(range, high, range);
    }
    cv::Mat flat = range <= kFlatness;
    range.release();

    cv::Mat components;
    cv::Mat stats;
    cv::Mat centroids;
    const int count = cv::connectedComponentsWithStats(flat, components, stats, centroids, 4, CV_32S);
    std::vector<uchar> large(size_t(std::max(count, 1)), 0);
    bool any = false;
    for (int i = 1; i < count; ++i) {
        large[size_t(i)] = stats.at<int>(i, cv::CC_STAT_AREA) >= kMinBackgroundArea ? 255 : 0;
        any = any || large[size_t(i)] != 0;
    }
    if (!any)
        return {};
    for (int y = 0; y < flat.rows; ++y) {
        const int *component = components.ptr<int>(y);
        uchar *out = flat.ptr<uchar>(y);
        for (int x = 0; x < flat.cols; ++x)
            out[x] = large[size_t(component[x])];
    }
    return flat;
}

// Each pixel's background: the colour of the nearest large flat patch. A
// reverse-video line, a dark window beside a light one and the first letter
// beside a window's edge each take the colour they are drawn on, where a
// square window of fixed size straddles two of them. Empty when the picture
// has no flat patch to read backgrounds from (a photograph).
cv::Mat flatBackground(const cv::Mat &bgr)
{
    const cv::Mat mask = backgroundMask(bgr);
    if (mask.empty())
        return {};
    // Two raster passes carry each patch's colour outwards with a chamfer
    // distance (2 across, 3 diagonally), keeping the nearest.
    cv::Mat background = bgr.clone();
    cv::Mat distance(bgr.size(), CV_16U);
    distance.setTo(std::numeric_limits<quint16>::max());
    distance.setTo(0, mask);
    const auto relax = [&](int y, int x, int ny, int nx, int step) {
        if (ny < 0 || ny >= bgr.rows || nx < 0 || nx >= bgr.cols)
            return;
        const int via = distance.at<quint16>(ny, nx) + step;
        quint16 &here = distance.at<quint16>(y, x);
        if (via < here) {
            here = quint16(std::min(via, int(std::numeric_limits<quint16>::max())));
            background.at<cv::Vec3b>(y, x) = background.at<cv::Vec3b>(ny, nx);
        }
    };
    for (int y = 0; y < bgr.rows; ++y) {
        for (int x = 0; x < bgr.cols; ++x) {
            if (distance.at<quint16>(y, x) == 0)
                continue;
            relax(y, x, y, x - 1, 2);
            relax(y, x, y - 1, x - 1, 3);
            relax(y, x, y - 1, x, 2);
            relax(y, x, y - 1, x + 1, 3);
        }
    }
    for (int y = bgr.rows - 1; y >= 0; --y) {
        for (int x = bgr.cols - 1; x >= 0; --x) {
            if (distance.at<quint16>(y, x) == 0)
                continue;
            relax(y, x, y, x + 1, 2);
            relax(y, x, y + 1, x + 1, 3);
            relax(y, x, y + 1, x, 2);
            relax(y, x, y + 1, x - 1, 3);
        }
    }
    return background;
}

// Where there are no flat patches: the median of a window larger than a glyph.
cv::Mat medianBackground(const cv::Mat &bgr)
{
    cv::Mat background;
    cv::medianBlur(bgr, background, kBackgroundWindow);
    return background;
}

// Text as dark ink on white, whatever its colours: each pixel's distance
// from its background, in whichever channel differs most. Light text on a
// dark theme, reverse-video lines, coloured text and a dark window beside a
// light one all come out alike, each against its own background, where one
// grey channel and one threshold for the whole screen lose some of them.
cv::Mat inkOf(const cv::Mat &bgr)
{
    cv::Mat background = flatBackground(bgr);
    if (background.empty())
        background = medianBackground(bgr);
    cv::Mat difference;
    cv::absdiff(bgr, background, difference);
    cv::Mat channels[3];
    cv::split(difference, channels);
    cv::Mat ink = cv::max(cv::max(channels[0], channels[1]), channels[2]);
    ink.convertTo(ink, CV_8U, kInkGain);
    // Window edges, frames and rules are long straight runs; glyphs are
    // not. Left in, an edge beside the first letters of lines swallows them.
    cv::Mat marked = ink > 64;
    cv::Mat across;
    cv::Mat down;
    cv::morphologyEx(marked, across, cv::MORPH_OPEN, cv::getStructuringElement(cv::MORPH_RECT, {kRuleLength, 1}));
    cv::morphologyEx(marked, down, cv::MORPH_OPEN, cv::getStructuringElement(cv::MORPH_RECT, {1, kRuleLength}));
    ink.setTo(0, across | down);
    cv::bitwise_not(ink, ink);
    return ink;
}

// The part of the picture that has ink, with a margin: empty desktop and
// blank terminal lines cost the layout analysis time and give nothing.
cv::Rect inkedArea(const cv::Mat &ink)
{
    cv::Mat marked = ink < 128;
    std::vector<cv::Point> points;
    cv::findNonZero(marked, points);
    if (points.empty())
        return {};
    const cv::Rect box = cv::boundingRect(points);
    constexpr int kMargin = 10;
    return (box + cv::Size(2 * kMargin, 2 * kMargin) - cv::Point(kMargin, kMargin)) & cv::Rect(0, 0, ink.cols, ink.rows);
}

struct Line
{
    QString text;
    int left = 0;
    int top = 0;
    int bottom = 0;
};

// Top to bottom; a line whose middle lies within the span of the row's
// top-most line shares its row, and a row reads from left to right.
void readingOrder(std::vector<Line> &lines)
{
    std::stable_sort(lines.begin(), lines.end(), [](const Line &a, const Line &b) { return a.top < b.top; });
    for (auto row = lines.begin(); row != lines.end();) {
        const int rowBottom = row->bottom;
        auto next = row + 1;
        while (next != lines.end() && (next->top + next->bottom) / 2 <= rowBottom)
            ++next;
        std::stable_sort(row, next, [](const Line &a, const Line &b) { return a.left < b.left; });
        row = next;
    }
}

bool hasLetterOrDigit(const QString &text)
{
    return std::any_of(text.cbegin(), text.cend(), [](QChar c) { return c.isLetterOrNumber(); });
}

} // namespace

TextRecognizer::TextRecognizer()
{
    keepOpenMpOnThisThread();
    auto api = std::make_unique<tesseract::TessBaseAPI>();
    // The engine's progress and warnings would go to the application's stderr.
    api->SetVariable("debug_file", "/dev/null");
    // No dictionaries: words are read as they are written, not corrected
    // towards English, which also keeps names, codes and file names intact.
    // The picture it is given is always dark ink on white, so reading each
    // doubtful line again inverted would only cost time.
    std::vector<std::string> names{"load_system_dawg", "load_freq_dawg", "tessedit_do_invert"};
    std::vector<std::string> values{"0", "0", "0"};
    if (api->Init(nullptr, "eng", tesseract::OEM_LSTM_ONLY, nullptr, 0, &names, &values, false) != 0)
        return;
    api->SetPageSegMode(tesseract::PSM_AUTO);
    m_api = std::move(api);
}

TextRecognizer::~TextRecognizer()
{
    if (m_api)
        m_api->End();
}

QStringList TextRecognizer::lines(const Picture &picture)
{
    if (!m_api)
        return {};
    const cv::Mat whole = inkOf(picture.pixels());
    const cv::Rect area = inkedArea(whole);
    if (area.empty())
        return {};
    cv::Mat gray = whole(area).clone();
    // Only small text is enlarged; the engine reads larger text as it is.
    const double scale = upscaleFor(gray);
    if (scale > 1.0)
        cv::resize(gray, gray, cv::Size(), scale, scale, cv::INTER_CUBIC);

    m_api->SetImage(gray.data, gray.cols, gray.rows, 1, int(gray.step));
    std::vector<Line> found;
    if (m_api->Recognize(nullptr) == 0) {
        std::unique_ptr<tesseract::ResultIterator> it(m_api->GetIterator());
        if (it) {
            do {
                const std::unique_ptr<char[]> utf8(it->GetUTF8Text(tesseract::RIL_TEXTLINE));
                if (!utf8)
                    continue;
                Line line;
                line.text = QString::fromUtf8(utf8.get()).trimmed();
                if (!hasLetterOrDigit(line.text))
                    continue;
                int right = 0;
                it->BoundingBox(tesseract::RIL_TEXTLINE, &line.left, &line.top, &right, &line.bottom);
                found.push_back(std::move(line));
            } while (it->Next(tesseract::RIL_TEXTLINE));
        }
    }
    m_api->Clear();
    readingOrder(found);
    QStringList out;
    out.reserve(qsizetype(found.size()));
    for (Line &line : found)
        out.append(std::move(line.text));
    return out;
}
