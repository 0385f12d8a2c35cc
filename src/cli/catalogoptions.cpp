#include "catalogoptions.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>

void CatalogOptions::addTo(QCommandLineParser &parser)
{
    parser.addOption(m_roots);
    parser.addOption(m_apps);
}

std::optional<Library::Environment> CatalogOptions::environment(const QCommandLineParser &parser,
                                                                QString *error) const
{
    Library::Environment env = Library::Environment::fromProcess();
    env.watchFolders = false;
    if (parser.isSet(m_roots)) {
        Library::Paths roots;
        for (const QString &piece : parser.value(m_roots).split(u':', Qt::SkipEmptyParts)) {
            if (!QFileInfo(piece).isDir()) {
                *error = QStringLiteral("tovalo-cli: no such folder: %1").arg(piece);
                return std::nullopt;
            }
            roots.append(QFile::encodeName(QDir(piece).absolutePath()));
        }
        env.demoRoots = roots;
        env.settings = nullptr; // exactly the folders asked for, no pins
    }
    if (parser.isSet(m_apps)) {
        const QString apps = parser.value(m_apps);
        if (!QFileInfo(apps).isDir()) {
            *error = QStringLiteral("tovalo-cli: no such folder: %1").arg(apps);
            return std::nullopt;
        }
        const QByteArray path = QFile::encodeName(QDir(apps).absolutePath());
        env.appDirs = [path] { return Library::Paths{path}; };
    }
    return env;
}

std::unique_ptr<Library> scanCatalog(Library::Environment env)
{
    auto library = std::make_unique<Library>(std::move(env));
    QEventLoop loop;
    QObject::connect(library.get(), &Library::appsSized, &loop, &QEventLoop::quit);
    library->rescan(false);
    loop.exec();
    return library;
}
