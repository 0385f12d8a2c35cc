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

// Reads a file with the reader of its family, in this process. The indexer
// calls it for the safe families and the helper process for the risky ones.
class TextExtractor final
{
public:
    static ExtractResult extract(const QByteArray &path, TextFamily family, const QString &lowerExt);
};
