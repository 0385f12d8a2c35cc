#include "dnnclassifier.h"

#include "picture.h"

#include <QFile>
#include <QRegularExpression>
#include <QSet>

#include <opencv2/dnn.hpp>
#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

namespace {

// --- Reading the input shape from the ONNX file ------------------------------
// OpenCV's importer keeps the declared input shape to itself, so the few
// protobuf fields that hold it are read here: ModelProto.graph (7),
// GraphProto.initializer (5) and .input (11), ValueInfoProto.name (1) and
// .type (2), TypeProto.tensor_type (1), Tensor.shape (2), Shape.dim (1),
// Dimension.dim_value (1) or .dim_param (2), TensorProto.name (8).

struct Field
{
    quint64 number = 0;
    int wire = 0;
    quint64 value = 0;
    QByteArrayView bytes;
};

class Reader
{
public:
    explicit Reader(QByteArrayView bytes) : m_p(bytes.data()), m_end(bytes.data() + bytes.size()) {}

    // The next field; false at the end or when the bytes are not protobuf.
    bool next(Field &field)
    {
        if (m_p == m_end)
            return false;
        quint64 key = 0;
        if (!varint(key))
            return fail();
        field.number = key >> 3;
        field.wire = int(key & 7);
        switch (field.wire) {
        case 0:
            return varint(field.value) || fail();
        case 1:
        case 5: {
            const qsizetype width = field.wire == 1 ? 8 : 4;
            if (m_end - m_p < width)
                return fail();
            m_p += width;
            return true;
        }
        case 2: {
            quint64 length = 0;
            if (!varint(length) || length > quint64(m_end - m_p))
                return fail();
            field.bytes = QByteArrayView(m_p, qsizetype(length));
            m_p += length;
            return true;
        }
        default:
            return fail();
        }
    }

    bool failed() const { return m_failed; }

private:
    bool varint(quint64 &value)
    {
        value = 0;
        for (int shift = 0; shift < 64 && m_p != m_end; shift += 7) {
            const auto byte = quint8(*m_p++);
            value |= quint64(byte & 0x7f) << shift;
            if (!(byte & 0x80))
                return true;
        }
        return false;
    }

    bool fail()
    {
        m_failed = true;
        m_p = m_end;
        return false;
    }

    const char *m_p;
    const char *m_end;
    bool m_failed = false;
};

// The first length-delimited field numbered `number`.
std::optional<QByteArrayView> child(QByteArrayView message, quint64 number)
{
    Reader r(message);
    Field f;
    while (r.next(f))
        if (f.number == number && f.wire == 2)
            return f.bytes;
    return std::nullopt;
}

// Dimensions of a ValueInfoProto; -1 for the open ones.
std::vector<qint64> dimensions(QByteArrayView valueInfo)
{
    std::vector<qint64> dims;
    const auto type = child(valueInfo, 2);
    const auto tensor = type ? child(*type, 1) : std::nullopt;
    const auto shape = tensor ? child(*tensor, 2) : std::nullopt;
    if (!shape)
        return dims;
    Reader r(*shape);
    Field f;
    while (r.next(f)) {
        if (f.number != 1 || f.wire != 2)
            continue;
        qint64 value = -1;
        Reader dim(f.bytes);
        Field d;
        while (dim.next(d))
            if (d.number == 1 && d.wire == 0)
                value = qint64(d.value);
        dims.push_back(value > 0 ? value : -1);
    }
    return dims;
}

// The shape of the graph's first real input (inputs that are only weights
// are listed with the initializers too).
std::vector<qint64> inputShape(QByteArrayView model)
{
    const auto graph = child(model, 7);
    if (!graph)
        return {};
    QSet<QByteArray> weights;
    std::vector<QByteArrayView> inputs;
    Reader r(*graph);
    Field f;
    while (r.next(f)) {
        if (f.wire != 2)
            continue;
        if (f.number == 5) {
            if (const auto name = child(f.bytes, 8))
                weights.insert(name->toByteArray());
        } else if (f.number == 11) {
            inputs.push_back(f.bytes);
        }
    }
    for (QByteArrayView input : inputs) {
        const auto name = child(input, 1);
        if (!name || !weights.contains(name->toByteArray()))
            return dimensions(input);
    }
    return {};
}

// --- Labels ---------------------------------------------------------------------

QStringList readLabels(const QByteArray &path)
{
    QFile file(QFile::decodeName(path));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    static const QRegularExpression wordNetId(QStringLiteral("^n\\d{8}\\s+"));
    QStringList labels;
    for (const QByteArray &raw : file.readAll().split('\n')) {
        QString line = QString::fromUtf8(raw).trimmed();
        line.remove(wordNetId);
        const qsizetype comma = line.indexOf(u',');
        if (comma >= 0)
            line.truncate(comma);
        // Every line keeps its place, blank or not: line n names output n.
        labels.append(line.trimmed());
    }
    while (!labels.isEmpty() && labels.constLast().isEmpty())
        labels.removeLast();
    return labels;
}

std::vector<float> probabilities(const cv::Mat &output)
{
    const cv::Mat flat = output.reshape(1, 1);
    std::vector<float> p(flat.begin<float>(), flat.end<float>());
    const bool inRange = std::all_of(p.begin(), p.end(), [](float v) { return v >= 0.0f && v <= 1.0f; });
    if (inRange || p.empty())
        return p;
    // Raw scores: a softmax makes them confidences.
    const float top = *std::max_element(p.begin(), p.end());
    double sum = 0.0;
    for (float &v : p) {
        v = std::exp(v - top);
        sum += v;
    }
    for (float &v : p)
        v = float(v / sum);
    return p;
}

} // namespace

struct DnnClassifier::Model
{
    cv::dnn::Net net;
    int channels = 3;
    int width = kDefaultSide;
    int height = kDefaultSide;
    bool channelsLast = false;

    cv::Mat blob(const cv::Mat &bgr) const
    {
        cv::Mat image;
        cv::cvtColor(bgr, image, channels == 1 ? cv::COLOR_BGR2GRAY : cv::COLOR_BGR2RGB);
        cv::resize(image, image, cv::Size(width, height), 0, 0, cv::INTER_AREA);
        image.convertTo(image, CV_32F, 1.0 / 255.0);
        if (channels == 1) {
            image = (image - 0.449) / 0.226;
        } else {
            cv::subtract(image, cv::Scalar(0.485, 0.456, 0.406), image);
            cv::divide(image, cv::Scalar(0.229, 0.224, 0.225), image);
        }
        if (!channelsLast)
            return cv::dnn::blobFromImage(image);
        const int shape[] = {1, height, width, channels};
        return image.reshape(1, 4, shape).clone();
    }
};

std::unique_ptr<DnnClassifier> DnnClassifier::load(const QByteArray &modelPath, const QByteArray &labelsPath)
{
    QFile file(QFile::decodeName(modelPath));
    if (!file.open(QIODevice::ReadOnly))
        return nullptr;
    const QByteArray bytes = file.readAll();
    QStringList labels = readLabels(labelsPath);
    if (bytes.isEmpty() || labels.isEmpty())
        return nullptr;

    auto model = std::make_unique<Model>();
    const std::vector<qint64> dims = inputShape(bytes);
    if (dims.size() == 4) {
        model->channelsLast = dims[1] != 1 && dims[1] != 3 && (dims[3] == 1 || dims[3] == 3);
        const qint64 c = model->channelsLast ? dims[3] : dims[1];
        const qint64 h = model->channelsLast ? dims[1] : dims[2];
        const qint64 w = model->channelsLast ? dims[2] : dims[3];
        model->channels = c == 1 ? 1 : 3;
        model->height = h > 0 ? int(h) : kDefaultSide;
        model->width = w > 0 ? int(w) : kDefaultSide;
    }
    try {
        model->net = cv::dnn::readNetFromONNX(bytes.constData(), size_t(bytes.size()));
        if (model->net.empty())
            return nullptr;
        // One run on a blank picture: a model that cannot take the input it
        // declares is refused now rather than failing on every image.
        model->net.setInput(model->blob(cv::Mat(model->height, model->width, CV_8UC3, cv::Scalar::all(128))));
        if (model->net.forward().total() == 0)
            return nullptr;
    } catch (const cv::Exception &) {
        return nullptr;
    }
    return std::unique_ptr<DnnClassifier>(new DnnClassifier(std::move(model), std::move(labels)));
}

DnnClassifier::DnnClassifier(std::unique_ptr<Model> model, QStringList labels)
    : m_model(std::move(model)), m_labels(std::move(labels))
{
}

DnnClassifier::~DnnClassifier() = default;

int DnnClassifier::inputWidth() const
{
    return m_model->width;
}

int DnnClassifier::inputHeight() const
{
    return m_model->height;
}

QList<ImageClassifier::Observation> DnnClassifier::classify(const Picture &picture)
{
    std::vector<float> p;
    try {
        m_model->net.setInput(m_model->blob(picture.pixels()));
        p = probabilities(m_model->net.forward());
    } catch (const cv::Exception &) {
        return {};
    }
    QList<Observation> out;
    const size_t named = std::min(p.size(), size_t(m_labels.size()));
    for (size_t i = 0; i < named; ++i)
        if (p[i] >= kMinConfidence && !m_labels.at(qsizetype(i)).isEmpty())
            out.append(Observation{m_labels.at(qsizetype(i)), p[i]});
    std::stable_sort(out.begin(), out.end(),
                     [](const Observation &a, const Observation &b) { return a.confidence > b.confidence; });
    if (out.size() > kMaxObservations)
        out.resize(kMaxObservations);
    return out;
}
