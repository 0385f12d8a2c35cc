#include "cameraextractor.h"

#include <exiv2/exiv2.hpp>

namespace {

QString tag(const Exiv2::ExifData &exif, const char *key)
{
    const auto it = exif.findKey(Exiv2::ExifKey(key));
    if (it == exif.end())
        return {};
    return QString::fromStdString(it->toString()).trimmed();
}

} // namespace

bool CameraExtractor::read(const QByteArray &path, Camera &camera)
{
    Exiv2::LogMsg::setLevel(Exiv2::LogMsg::mute);
    try {
        Exiv2::Image::AutoPtr image = Exiv2::ImageFactory::open(path.toStdString());
        if (!image.get())
            return false;
        image->readMetadata();
        const Exiv2::ExifData &exif = image->exifData();
        camera.make = tag(exif, "Exif.Image.Make");
        camera.model = tag(exif, "Exif.Image.Model");
        return true;
    } catch (const Exiv2::AnyError &) {
        // Not an image exiv2 knows, or a damaged one: no camera to tell of.
        return false;
    } catch (const std::exception &) {
        return false;
    }
}
