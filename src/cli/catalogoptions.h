#pragma once

#include "library/library.h"

#include <QCommandLineParser>
#include <QStringList>

#include <optional>

// The options every catalog-reading subcommand shares: --roots and --apps.
class CatalogOptions final
{
public:
    void addTo(QCommandLineParser &parser);
    // The process's own catalog set-up with the options applied, or a
    // one-line complaint when an option names a folder that does not exist.
    std::optional<Library::Environment> environment(const QCommandLineParser &parser,
                                                    QString *error) const;
    // Parses a subcommand that takes only options (these and any the caller
    // added) into its catalog set-up; on bad usage prints one line and gives none.
    std::optional<Library::Environment> parse(QCommandLineParser &parser,
                                              const QStringList &arguments) const;

private:
    QCommandLineOption m_roots{QStringLiteral("roots"),
                               QStringLiteral("Folders to read instead of the standard ones (paths or file:// URIs)."),
                               QStringLiteral("DIR[:DIR...]")};
    QCommandLineOption m_apps{QStringLiteral("apps"), QStringLiteral("The application folder."),
                              QStringLiteral("DIR")};
};

// How far a subcommand's catalog must be before it is read.
enum class CatalogReady {
    appSizes,   // records with application sizes; no duplicate search is made
    duplicates, // also the duplicate groups and the clean-up cards built on them
};

// Scans with `env` and returns the catalog once it is as ready as asked.
std::unique_ptr<Library> scanCatalog(Library::Environment env,
                                     CatalogReady ready = CatalogReady::appSizes);
