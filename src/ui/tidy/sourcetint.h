#pragma once

#include "model/kind.h"
#include "theme/themecolor.h"

#include <QStringView>

// The accent of a download source: one of the shelf kinds' accents, picked by
// a hash of the name that does not change from launch to launch (unlike
// qHash, which is seeded per process), so a site keeps its colour.
namespace SourceTint {

// h = (h × 31 + u) mod 65,536 over the Unicode scalars u of `name`.
quint32 hash(QStringView name);
// The shelf kind at hash mod 6.
Kind kind(QStringView name);

} // namespace SourceTint

const ThemeColor &sourceTint(QStringView name);
