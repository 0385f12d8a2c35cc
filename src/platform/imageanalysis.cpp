#include "imageanalysis.h"

#include "picture.h"
#include "textrecognizer.h"

#include <memory>

ImageAnalysis::Result ImageAnalysis::perform(const QByteArray &path, bool readText)
{
    Result result;
    const std::optional<Picture> picture = Picture::load(path);
    if (!picture)
        return result;
    result.performed = true;
    if (readText) {
        thread_local TextRecognizer recognizer;
        result.lines = recognizer.lines(*picture);
    }
    thread_local const std::unique_ptr<ImageClassifier> classifier = ImageClassifier::fromEnvironment();
    result.observations = classifier->classify(*picture);
    return result;
}
