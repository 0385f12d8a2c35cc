#include "textrecognizer.h"

#include "picture.h"

#include <opencv2/imgproc.hpp>
#include <tesseract/baseapi.h>
#include <tesseract/resultiterator.h>

#include <algorithm>
#include <cmath>
#include <dlfcn.h>
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

// Text as dark ink on white, whatever its colours: each pixel's distance
// from the colour around it (the median of a window larger than a glyph),
// in whichever channel differs most. Light text on a dark theme, reverse-
// video lines, coloured text and a dark window beside a light one all come
// out alike, each against its own background, where one grey channel and
// one threshold for the whole screen lose some of them.
cv::Mat inkOf(const cv::Mat &bgr)
{
    cv::Mat channels[3];
    cv::split(bgr, channels);
    cv::Mat ink;
    for (cv::Mat &channel : channels) {
        cv::Mat background;
        cv::medianBlur(channel, background, kBackgroundWindow);
        cv::absdiff(channel, background, background);
        if (ink.empty())
            ink = background;
        else
            cv::max(ink, background, ink);
    }
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
