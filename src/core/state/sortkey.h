#pragma once

#include "model/fileitem.h"

#include <array>
#include <optional>
#include <QList>
#include <QString>
#include <QStringView>

// An order of the file list pages. The raw values double as the labels of
// the sort menu and as the identifier, so they are matched exactly.
class SortKey final
{
public:
    enum Value : quint8
    {
        date,
        name,
        size,
        kind
    };

    static constexpr std::array<Value, 4> all = {date, name, size, kind};

    constexpr SortKey(Value value = date) : m_value(value) {}

    // Accepts exactly "Date", "Name", "Size" and "Kind".
    static std::optional<SortKey> fromRawValue(QStringView raw);

    constexpr Value value() const { return m_value; }
    QString rawValue() const;

    // `items` in this order. Stable: files that compare equal keep their
    // incoming order.
    //   date — activity date, newest first
    //   name — the file browser's comparison under the current locale:
    //          case-insensitive, digit runs compared as numbers
    //   size — largest first
    //   kind — extension by plain string order, then activity date newest first
    QList<FileItem> apply(const QList<FileItem> &items) const;

    friend constexpr bool operator==(SortKey a, SortKey b) { return a.m_value == b.m_value; }

private:
    Value m_value;
};
