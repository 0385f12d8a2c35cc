#pragma once

#include <QString>

#include <optional>

// Process-wide table of short strings that many records share (extensions,
// source names). A record keeps a 16-bit id instead of a string, which keeps a
// million-record catalog small and lets filters compare ids.
// Ids are stable for the life of the process; id 0 is the empty string.
// Interning is thread-safe; reading an id the caller obtained is lock-free.
class StringPool final
{
public:
    static constexpr quint16 kNone = 0;
    static constexpr int kCapacity = 65536;

    // The id of `text`, added when new; kNone when the table is full (the
    // caller then keeps no id and falls back to deriving the text).
    static quint16 intern(const QString &text);
    // The id of `text` when it was interned before, without adding it.
    static std::optional<quint16> find(const QString &text);
    static const QString &text(quint16 id);
};
