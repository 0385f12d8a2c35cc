#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

// What a file on disk is, as the catalog, the home-folder index and the
// tray's latest downloads all read it: one place, so they never disagree.
class DiskRules final
{
public:
    // Whether a walk enters a plain folder of this name (hidden folders and
    // dependency or cache folders are never read).
    static bool entersFolder(const char *name);
    // Directories with one of these lower-cased extensions are packages: one
    // record (or none), never entered.
    static bool isPackageExtension(QStringView lowerExt);
    // Photo and media libraries: packages too large and private to list.
    static bool isLibraryPackage(QStringView lowerExt);
    // Screenshot tools' file-name prefixes, lower-cased.
    static bool hasScreenshotName(const QString &lowerName);
    // True when TOVALO_DEMO_DATES is set: every added date is the creation date.
    static bool demoDates();
    // `path` without trailing slashes ("/" stays "/").
    static QByteArray normalised(QByteArray path);
};
