#include "cleanupcard.h"

namespace {

constexpr const char16_t *kRaw[] = {u"duplicates", u"downloads", u"installers",
                                    u"screenshots", u"videos",   u"apps"};

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

} // namespace CleanupKinds
