#include "library.h"
#include "scanner.h"

#include "analysis/cleanup.h"
#include "analysis/duplicates.h"
#include "analysis/ocrindex.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QStandardPaths>
#include <QTimer>

namespace {

QByteArray native(const QString &path)
{
    return QFile::encodeName(QDir::cleanPath(path));
}

Library::Paths splitPaths(const QByteArray &value)
{
    Library::Paths out;
    for (const QByteArray &piece : value.split(':'))
        if (!piece.isEmpty())
            out.append(piece);
    return out;
}

} // namespace

Library::Environment Library::Environment::fromProcess()
{
    Environment env;
    env.home = native(QDir::homePath());
    const QStandardPaths::StandardLocation standard[] = {
        QStandardPaths::DesktopLocation,  QStandardPaths::DocumentsLocation,
        QStandardPaths::DownloadLocation, QStandardPaths::PicturesLocation,
        QStandardPaths::MoviesLocation,   QStandardPaths::MusicLocation};
    for (const auto location : standard) {
        const QByteArray path = native(QStandardPaths::writableLocation(location));
        // user-dirs.dirs points unused folders at the home folder itself; reading it whole is not meant.
        if (!path.isEmpty() && path != env.home && !env.standardCandidates.contains(path))
            env.standardCandidates.append(path);
    }
    // Qt reads user-dirs.dirs, so a localized folder such as ~/Téléchargements is the one meant.
    const QByteArray downloads = native(QStandardPaths::writableLocation(QStandardPaths::DownloadLocation));
    if (downloads != env.home)
        env.downloads = downloads;
    if (qEnvironmentVariableIsSet("TOVALO_ROOTS"))
        env.demoRoots = splitPaths(qgetenv("TOVALO_ROOTS"));
    const QByteArray home = env.home;
    env.appDirs = [home] {
        if (qEnvironmentVariableIsSet("TOVALO_APPS"))
            return Paths{qgetenv("TOVALO_APPS")};
        return Paths{"/Applications", home + "/Applications"};
    };
    env.settings = new QSettings(QStringLiteral("Tovalo"), QStringLiteral("Tovalo"));
    env.now = [] { return QDateTime::currentMSecsSinceEpoch(); };
    env.later = [](int delayMs, std::function<void()> action) {
        QTimer::singleShot(delayMs, Qt::PreciseTimer, QCoreApplication::instance(), std::move(action));
    };
    env.scan = &Scanner::scan;
    env.folderSize = &Scanner::folderSize;
    env.findDuplicates = &Duplicates::find;
    env.cleanupCards = &Cleanup::cards;
    env.startTextRecognition = [](const QList<FileItem> &items) { OCRIndex::shared().start(items); };
    return env;
}
