#include "theme.h"

#include "fonts.h"

namespace {

constexpr ThemeColor kKindTints[] = {
    {0xF0764B, 0xFF8E66}, // image
    {0x7A6BF0, 0x9B8FFF}, // video
    {0xEA5A8C, 0xFF7AA6}, // music
    {0x3D8FEF, 0x62A8FF}, // document
    {0xD99A12, 0xF2B93B}, // archive
    {0x2FAE83, 0x4CCB9E}, // app
    {0x8C887F, 0x9A968D}, // other
};
static_assert(std::size(kKindTints) == Kinds::all.size());

constexpr Theme::NamedColor kNamed[] = {
    {"bg", &Theme::bg},           {"sidebar", &Theme::sidebar},
    {"surface", &Theme::surface}, {"well", &Theme::well},
    {"line", &Theme::line},       {"ink", &Theme::ink},
    {"ink2", &Theme::ink2},       {"ink3", &Theme::ink3},
    {"marker", &Theme::marker},   {"markerInk", &Theme::markerInk},
    {"active", &Theme::active},   {"ring", &Theme::ring},
    {"danger", &Theme::danger},   {"good", &Theme::good},
};

// Sizes from this one are set in the display cut, which is drawn for headings.
constexpr qreal kDisplayFrom = 20.0;

} // namespace

namespace Theme {

std::span<const NamedColor> named()
{
    return kNamed;
}

const ThemeColor &tint(Kind kind)
{
    return kKindTints[static_cast<int>(kind)];
}

const ThemeColor &tint(CleanupKind kind)
{
    switch (kind) {
    case CleanupKind::duplicates:
        return tint(Kind::image);
    case CleanupKind::downloads:
        return tint(Kind::document);
    case CleanupKind::installers:
        return tint(Kind::archive);
    case CleanupKind::screenshots:
        return tint(Kind::music);
    case CleanupKind::videos:
        return tint(Kind::video);
    case CleanupKind::apps:
        return tint(Kind::app);
    }
    return tint(Kind::other);
}

QFont font(qreal points, QFont::Weight weight, Design design)
{
    const char *family = Fonts::kSans;
    if (design == Design::monospaced)
        family = Fonts::kMono;
    else if (design == Design::rounded && points >= kDisplayFrom)
        family = Fonts::kDisplay;
    return Fonts::sized(QString::fromLatin1(family), points, weight);
}

QFont mono()
{
    return font(11, QFont::Medium, Design::monospaced);
}

} // namespace Theme
