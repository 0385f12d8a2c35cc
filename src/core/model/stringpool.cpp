#include "stringpool.h"

#include <QHash>

#include <atomic>
#include <memory>
#include <mutex>
#include <optional>

namespace {

struct Pool
{
    std::mutex lock;
    QHash<QString, quint16> ids;
    // Fixed storage: entries never move, so readers need no lock once they hold an id.
    std::unique_ptr<QString[]> entries{new QString[StringPool::kCapacity]};
    std::atomic<int> used{1};
};

Pool &pool()
{
    static Pool p;
    return p;
}

} // namespace

quint16 StringPool::intern(const QString &text)
{
    if (text.isEmpty())
        return kNone;
    Pool &p = pool();
    std::lock_guard guard(p.lock);
    const auto it = p.ids.constFind(text);
    if (it != p.ids.cend())
        return it.value();
    const int next = p.used.load(std::memory_order_relaxed);
    if (next >= kCapacity)
        return kNone;
    p.entries[next] = text;
    p.ids.insert(text, quint16(next));
    p.used.store(next + 1, std::memory_order_release);
    return quint16(next);
}

std::optional<quint16> StringPool::find(const QString &text)
{
    if (text.isEmpty())
        return kNone;
    Pool &p = pool();
    std::lock_guard guard(p.lock);
    const auto it = p.ids.constFind(text);
    if (it == p.ids.cend())
        return std::nullopt;
    return it.value();
}

const QString &StringPool::text(quint16 id)
{
    return pool().entries[id];
}
