#pragma once

#include "analysis/cleanupcard.h"
#include "model/kind.h"
#include "themecolor.h"

#include <QFont>
#include <QString>
#include <span>

// The named colours and fonts every page is drawn with. Sizes given to the
// font functions are points, which here are device-independent pixels.
namespace Theme {

inline constexpr ThemeColor bg{0xF8F9FB, 0x111318};
inline constexpr ThemeColor sidebar{0xF0F2F6, 0x16181E};
inline constexpr ThemeColor surface{0xFFFFFF, 0x1D2027};
inline constexpr ThemeColor well{0xECEFF4, 0x262A33};
inline constexpr ThemeColor line{0x0F172A, 0xFFFFFF, 0.09, 0.10};
inline constexpr ThemeColor ink{0x111827, 0xF2F4F8};
inline constexpr ThemeColor ink2{0x4B5563, 0xB4BAC6};
inline constexpr ThemeColor ink3{0x8A93A3, 0x7B8494};
inline constexpr ThemeColor marker{0x2F7BEA, 0x4C8FF5};
inline constexpr ThemeColor markerInk{0xFFFFFF, 0xFFFFFF};
inline constexpr ThemeColor active{0x2F7BEA, 0x4C8FF5, 0.14, 0.26};
inline constexpr ThemeColor ring{0x2F7BEA, 0x6BA4FF};
inline constexpr ThemeColor danger{0xD4412B, 0xFF6B57};
inline constexpr ThemeColor good{0x1F9D6B, 0x45C992};

struct NamedColor
{
    const char *name;
    const ThemeColor *color;
};
// Every named colour above, in the order listed.
std::span<const NamedColor> named();

// The accent of a kind, and of a clean-up card (which reuses the kind accents).
const ThemeColor &tint(Kind kind);
const ThemeColor &tint(CleanupKind kind);

enum class Design
{
    standard,
    rounded,
    monospaced
};

// The interface font (Inter; JetBrains Mono for the monospaced design) at
// `points` device-independent pixels. Inter has no rounded cut, so the rounded
// design is Inter too, in its display cut at large sizes.
QFont font(qreal points, QFont::Weight weight = QFont::Normal, Design design = Design::standard);
// 11 points, medium, monospaced.
QFont mono();

} // namespace Theme
