#pragma once

#include <QByteArray>
#include <QString>

// The camera's make and model from a picture's EXIF, through exiv2 (in the
// helper process: exiv2 has crashed on crafted files before).
class CameraExtractor final
{
public:
    struct Camera
    {
        QString make;
        QString model;
    };
    // False when the file cannot be read as an image; a picture without EXIF gives empty names.
    static bool read(const QByteArray &path, Camera &camera);
};
