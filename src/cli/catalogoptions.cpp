#include "catalogoptions.h"

#include "commands.h"
#include "pathargument.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>

namespace {

// By the raw bytes: a folder named in a URI need not be valid UTF-8.
bool isFolder(const QByteArray &path)
{
    struct stat st;
    return ::stat(path.constData(), &st) == 0 && S_ISDIR(st.st_mode);
}

} // namespace

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
    // Listings read no images: the text-in-images pass belongs to the application.
    env.startTextRecognition = nullptr;
    if (parser.isSet(m_roots)) {
        Library::Paths roots;
        QString why;
        const std::optional<QList<QByteArray>> pieces = pathListArgument(parser.value(m_roots), &why);
        if (!pieces) {
            *error = QStringLiteral("tovalo-cli: %1").arg(why);
            return std::nullopt;
        }
        for (const QByteArray &piece : *pieces) {
            if (!isFolder(piece)) {
                *error = QStringLiteral("tovalo-cli: no such folder: %1").arg(QFile::decodeName(piece));
                return std::nullopt;
            }
            roots.append(absolutePath(piece));
        }
        env.demoRoots = roots;
        env.settings = nullptr; // exactly the folders asked for, no pins
    }
    if (parser.isSet(m_apps)) {
        QString why;
        const std::optional<QByteArray> apps = pathArgument(parser.value(m_apps), &why);
        if (!apps) {
            *error = QStringLiteral("tovalo-cli: %1").arg(why);
            return std::nullopt;
        }
        if (!isFolder(*apps)) {
            *error = QStringLiteral("tovalo-cli: no such folder: %1").arg(parser.value(m_apps));
            return std::nullopt;
        }
        const QByteArray path = absolutePath(*apps);
        env.appDirs = [path] { return Library::Paths{path}; };
    }
    return env;
}

std::unique_ptr<Library> scanCatalog(Library::Environment env, CatalogReady ready)
{
    // A listing that does not wait for the duplicate search would still wait
    // for it when the catalog closes; it is not made at all.
    if (ready == CatalogReady::appSizes)
        env.findDuplicates = nullptr;
    auto library = std::make_unique<Library>(std::move(env));
    QEventLoop loop;
    bool sized = false;
    // A new catalog has no groups, so its first scan turns the comparing state on
    // and the search's result turns it off again.
    bool compared = ready == CatalogReady::appSizes;
    auto check = [&] {
        if (sized && compared)
            loop.quit();
    };
    QObject::connect(library.get(), &Library::appsSized, &loop, [&] {
        sized = true;
        check();
    });
    QObject::connect(library.get(), &Library::dupScanningChanged, &loop, [&] {
        if (!library->dupScanning())
            compared = true;
        check();
    });
    library->rescan(false);
    if (!(sized && compared))
        loop.exec();
    return library;
}

std::optional<Library::Environment> CatalogOptions::parse(QCommandLineParser &parser,
                                                          const QStringList &arguments) const
{
    if (!parseOrComplain(parser, arguments))
        return std::nullopt;
    QString error;
    auto env = environment(parser, &error);
    if (!env)
        complain(error);
    return env;
}
