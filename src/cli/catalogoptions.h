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

private:
    QCommandLineOption m_roots{QStringLiteral("roots"),
                               QStringLiteral("Folders to read instead of the standard ones."),
                               QStringLiteral("DIR[:DIR...]")};
    QCommandLineOption m_apps{QStringLiteral("apps"), QStringLiteral("The application folder."),
                              QStringLiteral("DIR")};
};

// Scans with `env` and returns the catalog once application sizes are in.
std::unique_ptr<Library> scanCatalog(Library::Environment env);
