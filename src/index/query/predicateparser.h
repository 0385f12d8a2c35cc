#pragma once

#include "predicate.h"

#include <QString>
#include <QStringView>

#include <optional>

// Reads the predicate language the wide search writes: comparisons
// `attribute op value` joined with && and ||, grouped with parentheses
// (&& binds tighter), where a value is a quoted string with * wildcards and
// c, d, w modifiers after the closing quote, a $time.iso(…) date or a number.
// In strings a backslash makes the next character literal, so \* is a star
// and \" a quote. Attributes, operators and values must fit each other: a
// string for names and types, a date for dates, a number for sizes.
class PredicateParser final
{
public:
    // The parsed predicate, or none with `error` saying where and why.
    static std::optional<Predicate::Node> parse(QStringView text, QString *error = nullptr);

    static constexpr int kMaxDepth = 64;
};
