#include "haarclassifier.h"

#include "picture.h"

#include <opencv2/imgproc.hpp>
#include <opencv2/objdetect.hpp>

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace {

enum class Subject { face, body, cat };

struct CascadeFile
{
    const char *name;
    Subject subject;
};

constexpr std::array kCascadeFiles = {
    CascadeFile{"haarcascade_frontalface_alt2.xml", Subject::face},
    CascadeFile{"haarcascade_profileface.xml", Subject::face},
    CascadeFile{"haarcascade_upperbody.xml", Subject::body},
    CascadeFile{"haarcascade_fullbody.xml", Subject::body},
    CascadeFile{"haarcascade_frontalcatface_extended.xml", Subject::cat},
};

constexpr double kScaleStep = 1.1;
constexpr int kMinNeighbours = 3;
constexpr int kMinSize = 24;
// Windows that must agree for a confidence of about 0.63 above the minimum.
constexpr double kAgreement = 8.0;
// Two finds that overlap this much (intersection over union) are one subject.
constexpr double kSameSubject = 0.3;

struct Find
{
    cv::Rect box;
    float confidence;
};

float confidenceOf(int windows)
{
    return float(1.0 - std::exp(-double(windows - (kMinNeighbours - 1)) / kAgreement));
}

double overlap(const cv::Rect &a, const cv::Rect &b)
{
    const double shared = (a & b).area();
    return shared / (a.area() + b.area() - shared);
}

bool contains(const cv::Rect &outer, const cv::Rect &inner)
{
    return (outer & inner).area() * 2 > inner.area();
}

float strongest(const std::vector<Find> &finds)
{
    float best = 0.0f;
    for (const Find &f : finds)
        best = std::max(best, f.confidence);
    return best;
}

// One find per subject: overlapping finds collapse into the strongest.
std::vector<Find> distinct(std::vector<Find> finds)
{
    std::stable_sort(finds.begin(), finds.end(),
                     [](const Find &a, const Find &b) { return a.confidence > b.confidence; });
    std::vector<Find> kept;
    for (const Find &f : finds)
        if (std::none_of(kept.begin(), kept.end(), [&](const Find &k) { return overlap(k.box, f.box) > kSameSubject; }))
            kept.push_back(f);
    return kept;
}

} // namespace

struct HaarClassifier::Cascades
{
    std::vector<std::pair<cv::CascadeClassifier, Subject>> loaded;
};

HaarClassifier::HaarClassifier(const QByteArray &folder) : m_cascades(std::make_unique<Cascades>())
{
    for (const CascadeFile &file : kCascadeFiles) {
        cv::CascadeClassifier cascade;
        try {
            if (!cascade.load(folder.toStdString() + '/' + file.name))
                continue;
        } catch (const cv::Exception &) {
            continue; // a damaged cascade file: the others still work
        }
        m_cascades->loaded.emplace_back(std::move(cascade), file.subject);
    }
}

HaarClassifier::~HaarClassifier() = default;

QStringList HaarClassifier::vocabulary()
{
    return {QStringLiteral("face"), QStringLiteral("person"), QStringLiteral("people"), QStringLiteral("cat")};
}

bool HaarClassifier::isReady() const
{
    return !m_cascades->loaded.empty();
}

QList<ImageClassifier::Observation> HaarClassifier::classify(const Picture &picture)
{
    if (m_cascades->loaded.empty() || picture.width() == 0 || picture.height() == 0)
        return {};
    cv::Mat gray;
    cv::cvtColor(picture.pixels(), gray, cv::COLOR_BGR2GRAY);
    const double scale = std::min(1.0, double(kLongSide) / std::max(gray.cols, gray.rows));
    if (scale < 1.0)
        cv::resize(gray, gray, cv::Size(), scale, scale, cv::INTER_AREA);
    cv::equalizeHist(gray, gray);

    std::vector<Find> faces;
    std::vector<Find> bodies;
    std::vector<Find> cats;
    for (auto &[cascade, subject] : m_cascades->loaded) {
        std::vector<cv::Rect> boxes;
        std::vector<int> windows;
        try {
            cascade.detectMultiScale(gray, boxes, windows, kScaleStep, kMinNeighbours, 0, cv::Size(kMinSize, kMinSize));
        } catch (const cv::Exception &) {
            continue; // a picture smaller than the cascade's window
        }
        std::vector<Find> &into = subject == Subject::face ? faces : subject == Subject::body ? bodies : cats;
        for (size_t i = 0; i < boxes.size() && i < windows.size(); ++i)
            into.push_back(Find{boxes[i], confidenceOf(windows[i])});
    }

    // A person is a face, or a body with no face found inside it.
    std::vector<Find> persons = distinct(faces);
    for (const Find &body : distinct(bodies))
        if (std::none_of(persons.begin(), persons.end(), [&](const Find &p) { return contains(body.box, p.box); }))
            persons.push_back(body);
    std::stable_sort(persons.begin(), persons.end(),
                     [](const Find &a, const Find &b) { return a.confidence > b.confidence; });

    QList<Observation> out;
    const auto add = [&](const char *label, float confidence) {
        if (confidence > 0.0f)
            out.append(Observation{QString::fromLatin1(label), std::clamp(confidence, 0.0f, 1.0f)});
    };
    add("face", strongest(faces));
    add("person", persons.empty() ? 0.0f : persons.front().confidence);
    add("people", persons.size() < 2 ? 0.0f : persons[1].confidence);
    add("cat", strongest(cats));
    std::stable_sort(out.begin(), out.end(),
                     [](const Observation &a, const Observation &b) { return a.confidence > b.confidence; });
    return out;
}
