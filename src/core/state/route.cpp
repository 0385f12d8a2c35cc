#include "route.h"

#include <QHashFunctions>

Route Route::kind(Kind value)
{
    return Route(Case::kind, value);
}

Route Route::cleanupDetail(CleanupKind card)
{
    return Route(Case::cleanupDetail, card);
}

Route Route::source(const QString &name)
{
    return Route(Case::source, name);
}

Route Route::folder(const QByteArray &path)
{
    return Route(Case::folder, path);
}

namespace {

template <typename T, typename Variant> std::optional<T> payloadAs(const Variant &p)
{
    if (const T *value = std::get_if<T>(&p))
        return *value;
    return std::nullopt;
}

} // namespace

std::optional<Kind> Route::asKind() const
{
    return payloadAs<Kind>(m_payload);
}

std::optional<CleanupKind> Route::asCleanupDetail() const
{
    return payloadAs<CleanupKind>(m_payload);
}

std::optional<QString> Route::asSource() const
{
    return payloadAs<QString>(m_payload);
}

std::optional<QByteArray> Route::asFolder() const
{
    return payloadAs<QByteArray>(m_payload);
}

size_t qHash(const Route &route, size_t seed)
{
    QtPrivate::QHashCombine combine;
    seed = combine(seed, quint8(route.which()));
    if (const auto kind = route.asKind())
        return combine(seed, quint8(*kind));
    if (const auto card = route.asCleanupDetail())
        return combine(seed, quint8(*card));
    if (const auto name = route.asSource())
        return combine(seed, *name);
    if (const auto path = route.asFolder())
        return combine(seed, *path);
    return seed;
}
