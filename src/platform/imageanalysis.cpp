#include "imageanalysis.h"

#include "pluginloader.h"

#include <QLoggingCategory>

namespace {

Q_LOGGING_CATEGORY(lcImaging, "tovalo.imaging", QtInfoMsg)

ImageAnalysis::Entry open()
{
    QString why;
    auto entry = reinterpret_cast<ImageAnalysis::Entry>(
        PluginLoader::resolve(QStringLiteral(TOVALO_IMAGING_PLUGIN), ImageAnalysis::kEntryPoint, &why));
    if (!entry)
        qCWarning(lcImaging).noquote() << "Pictures are not read for text or subjects: the image-analysis plug-in "
                                          "could not be loaded:"
                                       << why;
    return entry;
}

ImageAnalysis::Entry entry()
{
    static const ImageAnalysis::Entry loaded = open();
    return loaded;
}

} // namespace

ImageAnalysis::Result ImageAnalysis::perform(const QByteArray &path, bool readText)
{
    Result result;
    if (const Entry analyse = entry())
        analyse(path, readText, &result);
    else
        result.analyzerLoaded = false;
    return result;
}

bool ImageAnalysis::isAvailable()
{
    return entry() != nullptr;
}
