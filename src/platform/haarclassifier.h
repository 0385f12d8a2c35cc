#pragma once

#include "imageclassifier.h"

#include <QStringList>

#include <memory>

// The classifier that needs no model from the user: OpenCV's Haar cascades
// for faces, bodies and cat faces. It gives the labels "face", "person",
// "people" (two or more persons) and "cat"; a label's confidence grows with
// how many overlapping detection windows agree on the strongest find.
class HaarClassifier final : public ImageClassifier
{
public:
    static constexpr const char *kDefaultFolder = "/usr/share/opencv4/haarcascades";
    // Pictures are searched at this size at most: subjects that fill less
    // than a twentieth of it are not looked for.
    static constexpr int kLongSide = 480;

    explicit HaarClassifier(const QByteArray &folder = kDefaultFolder);
    ~HaarClassifier() override;

    // Every label it can give.
    static QStringList vocabulary();
    // False when none of the cascades could be loaded.
    bool isReady() const;
    QList<Observation> classify(const Picture &picture) override;

private:
    struct Cascades;
    std::unique_ptr<Cascades> m_cascades;
};
