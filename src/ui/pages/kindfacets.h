#pragma once

#include "model/fileitem.h"

#include <QList>
#include <QString>

#include <optional>

// The extension filters of a kind page: which extensions the kind's files
// have and how many of each, which pick still applies, and what it shows.
class KindFacets final
{
public:
    static constexpr int kMaxChips = 10;

    struct Facet
    {
        QString ext; // empty for files without an extension
        int count = 0;
        friend bool operator==(const Facet &, const Facet &) = default;
    };

    // Grouped by extension; most files first, ties by extension in plain order.
    static QList<Facet> facets(const QList<FileItem> &all);
    // The pick when one of `facets` has it; a pick that no longer occurs is ignored.
    static std::optional<QString> effective(const std::optional<QString> &picked,
                                            const QList<Facet> &facets);
    // The files with the effective extension, in their order; all of them without one.
    static QList<FileItem> shown(const QList<FileItem> &all, const std::optional<QString> &effective);
    // A click on the chip of `ext`: a second click on the picked one clears the pick.
    static std::optional<QString> clicked(const std::optional<QString> &picked, const QString &ext);
    // "PDF", or "No extension".
    static QString title(const QString &ext);
};
