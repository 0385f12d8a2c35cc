#pragma once

#include <QFunctionPointer>
#include <QString>
#include <QStringList>

// Finds and opens Tovalo's plug-ins: libraries with heavy dependencies
// (image analysis, PDF and video previews) that the programs open only
// when they first need them, so starting a program never pays for them.
class PluginLoader final
{
public:
    // Names a folder to look in instead of the usual places.
    static constexpr const char *kFolderVariable = "TOVALO_PLUGIN_DIR";

    // Where plug-ins are looked for, in order: beside an installed (or
    // moved) program, the configured install place, then the build tree.
    static QStringList folders();
    // The function `symbol` of the plug-in file `fileName`, loading the
    // plug-in (for good) if needed; nullptr when it cannot, with why in `why`.
    static QFunctionPointer resolve(const QString &fileName, const char *symbol, QString *why);
};
