#include "predicate.h"

#include <algorithm>

namespace {

struct Named
{
    const char16_t *name;
    Predicate::Attribute attribute;
};

constexpr Named kNames[] = {
    {u"kMDItemContentTypeTree", Predicate::Attribute::contentTypeTree},
    {u"kMDItemFSName", Predicate::Attribute::fsName},
    {u"kMDItemFSContentChangeDate", Predicate::Attribute::contentChangeDate},
    {u"kMDItemDateAdded", Predicate::Attribute::dateAdded},
    {u"kMDItemFSSize", Predicate::Attribute::fsSize},
    {u"kMDItemIsScreenCapture", Predicate::Attribute::isScreenCapture},
    {u"kMDItemWhereFroms", Predicate::Attribute::whereFroms},
    {u"kMDItemAcquisitionMake", Predicate::Attribute::acquisitionMake},
    {u"kMDItemAcquisitionModel", Predicate::Attribute::acquisitionModel},
    {u"kMDItemTextContent", Predicate::Attribute::textContent},
    {u"kMDItemLastUsedDate", Predicate::Attribute::lastUsedDate},
};

} // namespace

bool Predicate::Pattern::matchesAnything() const
{
    return hasWildcard() && std::all_of(segments.begin(), segments.end(), [](const QString &s) { return s.isEmpty(); });
}

bool Predicate::Pattern::isPrefixForm() const
{
    return segments.size() == 1 || (segments.size() == 2 && segments.back().isEmpty());
}

Predicate::Holds Predicate::holds(Attribute attribute)
{
    switch (attribute) {
    case Attribute::contentTypeTree:
    case Attribute::whereFroms: return Holds::lines;
    case Attribute::fsName:
    case Attribute::acquisitionMake:
    case Attribute::acquisitionModel: return Holds::text;
    case Attribute::textContent: return Holds::content;
    case Attribute::fsSize:
    case Attribute::isScreenCapture: return Holds::number;
    case Attribute::contentChangeDate:
    case Attribute::dateAdded:
    case Attribute::lastUsedDate: return Holds::date;
    }
    return Holds::text;
}

std::optional<Predicate::Attribute> Predicate::attribute(QStringView name)
{
    for (const Named &n : kNames)
        if (name == QStringView(n.name))
            return n.attribute;
    return std::nullopt;
}
