#pragma once

#include "imageclassifier.h"

#include <QByteArray>
#include <QList>
#include <QStringList>

// The image-analysis service: reads one image file for its lines of text and
// for what it shows. Blocking; safe on any thread at the same time as on
// others, since each thread uses its own recognizer and classifier, loaded
// on its first call and kept for the thread's life.
//
// The readers, Tesseract and OpenCV live in a plug-in that is opened on the
// first call, so programs that never look at a picture never load them.
class ImageAnalysis final
{
public:
    struct Result
    {
        // False when the file could not be read as an image.
        bool performed = false;
        // False when the plug-in could not be loaded: nothing was learnt
        // about the file, which should be tried again another time.
        bool analyzerLoaded = true;
        // In reading order; empty unless text was asked for.
        QStringList lines;
        // Most confident first.
        QList<ImageClassifier::Observation> observations;
    };
    // The plug-in's one entry point, under the name kEntryPoint.
    using Entry = void (*)(const QByteArray &path, bool readText, Result *out);
    static constexpr const char *kEntryPoint = "tovalo_image_analysis_perform";

    static Result perform(const QByteArray &path, bool readText);
    // Opens the plug-in if it is not open yet; false (said once in the log)
    // when it cannot be loaded.
    static bool isAvailable();
};
