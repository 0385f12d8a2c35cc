// The image-analysis plug-in: decoding, text recognition and subject
// classification behind one C entry point, opened by ImageAnalysis on first use.

#include "imageanalysis.h"
#include "picture.h"
#include "textrecognizer.h"

#include <memory>

extern "C" Q_DECL_EXPORT void tovalo_image_analysis_perform(const QByteArray &path, bool readText,
                                                            ImageAnalysis::Result *out)
{
    // The entry's type is checked here, where its name is defined.
    [[maybe_unused]] constexpr ImageAnalysis::Entry kChecked = &tovalo_image_analysis_perform;
    ImageAnalysis::Result &result = *out;
    const std::optional<Picture> picture = Picture::load(path);
    if (!picture)
        return;
    result.performed = true;
    if (readText) {
        thread_local TextRecognizer recognizer;
        result.lines = recognizer.lines(*picture);
    }
    thread_local const std::unique_ptr<ImageClassifier> classifier = ImageClassifier::fromEnvironment();
    result.observations = classifier->classify(*picture);
}
