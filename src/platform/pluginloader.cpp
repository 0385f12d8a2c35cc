#include "pluginloader.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLibrary>

QStringList PluginLoader::folders()
{
    const QString named = qEnvironmentVariable(kFolderVariable);
    if (!named.isEmpty())
        return {named};
    QStringList out;
    if (QCoreApplication::instance())
        out << QCoreApplication::applicationDirPath() + QStringLiteral("/" TOVALO_PLUGINS_FROM_BINDIR);
    out << QStringLiteral(TOVALO_PLUGINS_INSTALLED) << QStringLiteral(TOVALO_PLUGINS_BUILT);
    for (QString &folder : out)
        folder = QFileInfo(folder).absoluteFilePath();
    out.removeDuplicates();
    return out;
}

QFunctionPointer PluginLoader::resolve(const QString &fileName, const char *symbol, QString *why)
{
    QStringList failures;
    for (const QString &folder : folders()) {
        const QString path = folder + u'/' + fileName;
        if (!QFileInfo::exists(path)) {
            failures << QStringLiteral("no %1").arg(path);
            continue;
        }
        // Never unloaded: threads keep objects made by its code.
        QLibrary library(path);
        if (!library.load()) {
            failures << library.errorString();
            continue;
        }
        if (QFunctionPointer found = library.resolve(symbol))
            return found;
        failures << QStringLiteral("%1 has no %2").arg(path, QLatin1String(symbol));
    }
    if (why)
        *why = failures.join(QStringLiteral("; "));
    return nullptr;
}
