#include "imageclassifier.h"

#include "dnnclassifier.h"
#include "haarclassifier.h"

#include <QtGlobal>

ImageClassifier::~ImageClassifier() = default;

std::unique_ptr<ImageClassifier> ImageClassifier::make(const QByteArray &modelPath, const QByteArray &labelsPath)
{
    if (!modelPath.isEmpty() && !labelsPath.isEmpty()) {
        if (std::unique_ptr<DnnClassifier> dnn = DnnClassifier::load(modelPath, labelsPath))
            return dnn;
    }
    return std::make_unique<HaarClassifier>();
}

std::unique_ptr<ImageClassifier> ImageClassifier::fromEnvironment()
{
    return make(qgetenv(kModelVariable), qgetenv(kLabelsVariable));
}
