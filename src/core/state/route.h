#pragma once

#include "analysis/cleanupcard.h"
#include "model/kind.h"

#include <optional>
#include <QByteArray>
#include <QString>
#include <utility>
#include <variant>

// A destination of the main window. A plain value: routes are compared and
// hashed by destination and payload, so a view can tell "the page shown" from
// "a page like it" (two kind pages, two source pages) without extra state.
class Route final
{
public:
    // Declaration order is the hash discriminator; do not reorder.
    enum class Case : quint8
    {
        home,
        recents,
        large,
        screenshots,
        duplicates,
        cleanup,
        sources,
        kind,
        cleanupDetail,
        source,
        folder
    };

    // The home page.
    Route() = default;

    static Route home() { return Route(Case::home); }
    static Route recents() { return Route(Case::recents); }
    static Route large() { return Route(Case::large); }
    static Route screenshots() { return Route(Case::screenshots); }
    static Route duplicates() { return Route(Case::duplicates); }
    static Route cleanup() { return Route(Case::cleanup); }
    static Route sources() { return Route(Case::sources); }
    static Route kind(Kind value);
    static Route cleanupDetail(CleanupKind card);
    // The `name` of a download-source group.
    static Route source(const QString &name);
    // One folder of the catalog's locations, as native path bytes.
    static Route folder(const QByteArray &path);

    Case which() const { return m_case; }
    // The payload of the matching destination; absent for every other one.
    std::optional<Kind> asKind() const;
    std::optional<CleanupKind> asCleanupDetail() const;
    std::optional<QString> asSource() const;
    std::optional<QByteArray> asFolder() const;

    friend bool operator==(const Route &, const Route &) = default;

private:
    using Payload = std::variant<std::monostate, Kind, CleanupKind, QString, QByteArray>;

    explicit Route(Case c, Payload payload = {}) : m_case(c), m_payload(std::move(payload)) {}

    Case m_case = Case::home;
    Payload m_payload;
};

// The destination first, then its payload.
size_t qHash(const Route &route, size_t seed = 0);
