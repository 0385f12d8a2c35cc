#pragma once

#include "imageclassifier.h"

#include <QStringList>

#include <memory>

// An image-classification model in ONNX form, run with OpenCV's dnn module,
// and its labels file: one label per line, line n naming output n. A line
// may start with a WordNet id ("n02084071 dog, domestic dog"); the id is
// dropped and the first name kept. The picture is scaled to the model's input
// size and normalised the way ImageNet-trained models expect (RGB, mean
// 0.485/0.456/0.406, deviation 0.229/0.224/0.225).
class DnnClassifier final : public ImageClassifier
{
public:
    // Observations below this confidence are not reported.
    static constexpr float kMinConfidence = 0.01f;
    static constexpr int kMaxObservations = 25;
    // The input size used when the model leaves it open.
    static constexpr int kDefaultSide = 224;

    // nullptr when the model or the labels cannot be read.
    static std::unique_ptr<DnnClassifier> load(const QByteArray &modelPath, const QByteArray &labelsPath);
    ~DnnClassifier() override;

    const QStringList &labels() const { return m_labels; }
    // Width and height of the model's input.
    int inputWidth() const;
    int inputHeight() const;
    QList<Observation> classify(const Picture &picture) override;

private:
    struct Model;
    DnnClassifier(std::unique_ptr<Model> model, QStringList labels);

    std::unique_ptr<Model> m_model;
    QStringList m_labels;
};
