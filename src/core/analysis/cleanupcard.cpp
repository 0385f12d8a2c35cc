#include "cleanupcard.h"

namespace {

constexpr const char16_t *kRaw[] = {u"duplicates", u"downloads", u"installers",
                                    u"screenshots", u"videos",   u"apps"};

struct Presentation
{
    const char16_t *title;
    const char16_t *detail;
    const char16_t *symbol;
};

constexpr Presentation kShown[] = {
    {u"Duplicates", u"Extra copies of files you already have.", u"square.on.square"},
    {u"Forgotten downloads", u"In Downloads, untouched for more than three months.",
     u"arrow.down.circle"},
    {u"Old installers", u".deb, .rpm and .dmg files that have done their job.", u"shippingbox"},
    {u"Old screenshots", u"Screenshots older than two months.", u"camera.viewfinder"},
    {u"Big old videos", u"Videos over 200 MB you haven't touched in six months.", u"film"},
    {u"Unused apps", u"Apps you haven't opened in six months.", u"app.dashed"},
};

} // namespace

namespace CleanupKinds {

QString rawValue(CleanupKind kind)
{
    return QString::fromUtf16(kRaw[static_cast<int>(kind)]);
}

std::optional<CleanupKind> fromRawValue(QStringView raw)
{
    for (CleanupKind kind : all)
        if (raw == QStringView(kRaw[static_cast<int>(kind)]))
            return kind;
    return std::nullopt;
}

QString title(CleanupKind kind)
{
    return QString::fromUtf16(kShown[static_cast<int>(kind)].title);
}

QString detail(CleanupKind kind)
{
    return QString::fromUtf16(kShown[static_cast<int>(kind)].detail);
}

QString symbol(CleanupKind kind)
{
    return QString::fromUtf16(kShown[static_cast<int>(kind)].symbol);
}

} // namespace CleanupKinds
