#pragma once

#include <QFont>
#include <QString>

// The font families the interface is set in, found by family name and, when
// fontconfig does not list one, loaded from the packaged files.
namespace Fonts {

inline constexpr const char *kSans = "Inter";
inline constexpr const char *kDisplay = "Inter Display";
inline constexpr const char *kMono = "JetBrains Mono";
inline constexpr const char *kSymbols = "Material Icons";
// Colour emoji, which file names carry and the text families lack.
inline constexpr const char *kEmoji = "Noto Color Emoji";

// Idempotent; needs a QGuiApplication.
void ensureLoaded();
// `family` at `points` device-independent pixels (fractional sizes kept),
// falling back to the emoji family for characters it lacks.
QFont sized(const QString &family, qreal points, QFont::Weight weight = QFont::Normal);

} // namespace Fonts
