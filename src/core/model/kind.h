#pragma once

#include <QList>
#include <QString>
#include <QStringView>

#include <array>
#include <optional>

// The closed set of file kinds, decided by lower-case extension alone.
// The declaration order is the order kinds are listed everywhere.
enum class Kind : quint8 { image, video, music, document, archive, app, other };

namespace Kinds {

inline constexpr std::array<Kind, 7> all = {Kind::image,   Kind::video, Kind::music, Kind::document,
                                            Kind::archive, Kind::app,   Kind::other};
// Every kind but `other`: the kinds with a shelf and a sidebar row.
inline constexpr std::array<Kind, 6> shelves = {Kind::image,    Kind::video,   Kind::music,
                                                Kind::document, Kind::archive, Kind::app};

// The table's entry for an already lower-cased extension; `other` when there is none.
Kind of(QStringView lowerExt);
// Every extension whose entry is `kind`, unordered; empty for `other`.
QStringList extensions(Kind kind);

QString rawValue(Kind kind);
// Accepts exactly the seven raw values, with no case folding.
std::optional<Kind> fromRawValue(QStringView raw);
QString title(Kind kind);
QString symbol(Kind kind);

} // namespace Kinds
