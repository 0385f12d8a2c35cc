#include "fonts.h"

#include <mutex>
#include <QDir>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QScreen>
#include <QStandardPaths>

namespace {

struct Packaged
{
    const char *family;
    const char *folder; // under a data directory's "fonts/"
    const char *pattern;
};

// Where the Debian packages put the files.
constexpr Packaged kPackaged[] = {
    {Fonts::kSans, "opentype/inter", "Inter-*.otf"},
    {Fonts::kDisplay, "opentype/inter", "InterDisplay-*.otf"},
    {Fonts::kMono, "truetype/jetbrains-mono", "JetBrainsMono-*.ttf"},
    {Fonts::kSymbols, "truetype/material-design-icons-iconfont", "MaterialIcons-Regular.ttf"},
};

void addPackaged(const Packaged &entry)
{
    const QStringList folders =
        QStandardPaths::locateAll(QStandardPaths::GenericDataLocation,
                                  QStringLiteral("fonts/") + QString::fromLatin1(entry.folder),
                                  QStandardPaths::LocateDirectory);
    for (const QString &folder : folders) {
        const QDir dir(folder);
        const QStringList files = dir.entryList({QString::fromLatin1(entry.pattern)}, QDir::Files);
        for (const QString &file : files)
            QFontDatabase::addApplicationFont(dir.filePath(file));
        if (!files.isEmpty())
            return;
    }
}

qreal logicalDpi()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    const qreal dpi = screen ? screen->logicalDotsPerInchY() : 0.0;
    return dpi > 0 ? dpi : 96.0;
}

} // namespace

namespace Fonts {

void ensureLoaded()
{
    static std::once_flag once;
    std::call_once(once, [] {
        for (const Packaged &entry : kPackaged)
            if (!QFontDatabase::hasFamily(QString::fromLatin1(entry.family)))
                addPackaged(entry);
    });
}

QFont sized(const QString &family, qreal points, QFont::Weight weight)
{
    ensureLoaded();
    static const bool emoji = QFontDatabase::hasFamily(QString::fromLatin1(kEmoji));
    QFont font(family);
    // Symbols the family lacks (arrows such as ↩) come from DejaVu first:
    // the emoji font covers some of them too, in colour.
    if (emoji)
        font.setFamilies({family,
                          QString::fromLatin1(family == QLatin1String(kMono) ? "DejaVu Sans Mono" : "DejaVu Sans"),
                          QString::fromLatin1(kEmoji)});
    // QFont takes whole pixels only; a point size converted at the logical
    // resolution keeps sizes like 12.5 exact.
    font.setPointSizeF(points * 72.0 / logicalDpi());
    font.setWeight(weight);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

} // namespace Fonts
