#pragma once

#include "textfamily.h"

#include <QByteArray>
#include <QString>

// What reading one file gave: its text (at most the index's limit) and, for
// pictures, the camera. `ok` false means the reader failed on the file.
struct ExtractResult
{
    bool ok = false;
    QString text;
    QString cameraMake;
    QString cameraModel;
};

// Reads a file with the reader of its family, in this process: the helper
// process's reader. It links the document libraries (PDF, zip, EXIF), so
// only the helper, tests and benchmarks use it; the indexer reads the safe
// families with InProcessExtractor and asks the helper for the others.
class TextExtractor final
{
public:
    static ExtractResult extract(const QByteArray &path, TextFamily family, const QString &lowerExt);
};
