#include "imageclassifier.h"

#include "dnnclassifier.h"
#include "haarclassifier.h"

#include <QFile>
#include <QLoggingCategory>

namespace {

Q_LOGGING_CATEGORY(lcClassifier, "tovalo.classifier", QtInfoMsg)

} // namespace

ImageClassifier::~ImageClassifier() = default;

std::unique_ptr<ImageClassifier> ImageClassifier::make(const QByteArray &modelPath, const QByteArray &labelsPath)
{
    if (!modelPath.isEmpty() && !labelsPath.isEmpty()) {
        if (std::unique_ptr<DnnClassifier> dnn = DnnClassifier::load(modelPath, labelsPath))
            return dnn;
    }
    if (!modelPath.isEmpty() || !labelsPath.isEmpty())
        qCWarning(lcClassifier).noquote() << QStringLiteral("Tovalo: cannot load the classifier model \"%1\" with labels "
                                                            "\"%2\"; the Haar cascades name subjects instead")
                                                 .arg(QFile::decodeName(modelPath), QFile::decodeName(labelsPath));
    return std::make_unique<HaarClassifier>();
}

std::unique_ptr<ImageClassifier> ImageClassifier::fromEnvironment()
{
    return make(qgetenv(kModelVariable), qgetenv(kLabelsVariable));
}
