#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <memory>

class Picture;

// Names what a picture shows, each name with a confidence between 0 and 1.
// A classifier keeps loaded models and working buffers, so it belongs to one
// thread at a time.
class ImageClassifier
{
public:
    struct Observation
    {
        QString identifier;
        float confidence = 0.0f;
    };

    // The model and labels files of a user-supplied classifier.
    static constexpr const char *kModelVariable = "TOVALO_CLASSIFIER_MODEL";
    static constexpr const char *kLabelsVariable = "TOVALO_CLASSIFIER_LABELS";

    virtual ~ImageClassifier();

    // Most confident first.
    virtual QList<Observation> classify(const Picture &picture) = 0;

    // The model named by `modelPath` and `labelsPath` when both are given and
    // it loads; otherwise the Haar cascades that come with OpenCV.
    static std::unique_ptr<ImageClassifier> make(const QByteArray &modelPath, const QByteArray &labelsPath);
    // `make` with the files the process environment names.
    static std::unique_ptr<ImageClassifier> fromEnvironment();
};
