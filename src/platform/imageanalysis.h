#pragma once

#include "imageclassifier.h"

#include <QByteArray>
#include <QList>
#include <QStringList>

// The image-analysis service: reads one image file for its lines of text and
// for what it shows. Blocking; safe on any thread at the same time as on
// others, since each thread uses its own recognizer and classifier, loaded
// on its first call and kept for the thread's life.
class ImageAnalysis final
{
public:
    struct Result
    {
        // False when the file could not be read as an image.
        bool performed = false;
        // In reading order; empty unless text was asked for.
        QStringList lines;
        // Most confident first.
        QList<ImageClassifier::Observation> observations;
    };

    static Result perform(const QByteArray &path, bool readText);
};
