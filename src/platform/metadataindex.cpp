#include "metadataindex.h"

#include <mutex>

namespace {

struct Slot
{
    std::mutex lock;
    std::shared_ptr<MetadataIndex> index;
};

Slot &slot()
{
    static Slot s;
    return s;
}

} // namespace

MetadataIndex::~MetadataIndex() = default;

std::shared_ptr<MetadataIndex> MetadataIndex::installed()
{
    Slot &s = slot();
    std::lock_guard guard(s.lock);
    return s.index;
}

void MetadataIndex::install(std::shared_ptr<MetadataIndex> index)
{
    Slot &s = slot();
    std::lock_guard guard(s.lock);
    s.index = std::move(index);
}
