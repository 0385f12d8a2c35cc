#include "diskrules.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr const char *kSkipDirs[] = {"node_modules", "venv",        ".venv",        "__pycache__",
                                     "Pods",         "DerivedData", "site-packages"};

constexpr const char16_t *kPackageExtensions[] = {
    u"app",          u"bundle",      u"framework",     u"plugin",     u"kext",
    u"pages",        u"numbers",     u"key",           u"rtfd",       u"photoslibrary",
    u"musiclibrary", u"tvlibrary",   u"imovielibrary", u"aplibrary",  u"photolibrary",
    u"xcodeproj",    u"xcworkspace", u"playground",    u"logicx",     u"band",
    u"saver",        u"prefpane",    u"qlgenerator",   u"mdimporter", u"wdgt"};

constexpr const char16_t *kLibraryPackages[] = {u"photoslibrary", u"musiclibrary", u"tvlibrary",
                                                u"imovielibrary", u"aplibrary",    u"photolibrary"};

constexpr const char16_t *kScreenshotPrefixes[] = {u"screenshot", u"screen shot",    u"cleanshot",
                                                   u"scr-",       u"capture d",      u"bildschirmfoto"};

bool contains(const auto &list, QStringView value)
{
    return std::any_of(std::begin(list), std::end(list),
                       [&](const char16_t *s) { return value == QStringView(s); });
}

} // namespace

bool DiskRules::entersFolder(const char *name)
{
    if (name[0] == '.')
        return false;
    for (const char *skip : kSkipDirs)
        if (std::strcmp(name, skip) == 0)
            return false;
    return true;
}

bool DiskRules::isPackageExtension(QStringView lowerExt)
{
    return contains(kPackageExtensions, lowerExt);
}

bool DiskRules::isLibraryPackage(QStringView lowerExt)
{
    return contains(kLibraryPackages, lowerExt);
}

bool DiskRules::hasScreenshotName(const QString &lowerName)
{
    return std::any_of(std::begin(kScreenshotPrefixes), std::end(kScreenshotPrefixes),
                       [&](const char16_t *p) { return lowerName.startsWith(QStringView(p)); });
}

bool DiskRules::demoDates()
{
    static const bool on = qEnvironmentVariableIsSet("TOVALO_DEMO_DATES");
    return on;
}

QByteArray DiskRules::normalised(QByteArray path)
{
    while (path.size() > 1 && path.endsWith('/'))
        path.chop(1);
    return path;
}
