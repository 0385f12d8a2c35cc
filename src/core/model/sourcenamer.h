#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// Turns a file's where-from list into a short display name for its source.
namespace SourceNamer {

// The display name for a where-from list: a known service, else the
// registrable domain of the most telling host, else the first non-URL text.
std::optional<QString> name(const QStringList &whereFroms);
// The registrable part of a host name ("files.example.co.uk" -> "example.co.uk").
QString registrable(const QString &host);

} // namespace SourceNamer
