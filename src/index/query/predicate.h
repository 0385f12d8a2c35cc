#pragma once

#include <QString>
#include <QtGlobal>

#include <optional>
#include <variant>
#include <vector>

// A parsed metadata-index predicate: comparisons of kMDItem… attributes
// with values, joined by "all of" and "any of". Plain values, so a parse can
// be checked against a table and handed to any thread.
class Predicate final
{
public:
    enum class Attribute
    {
        contentTypeTree,
        fsName,
        contentChangeDate,
        dateAdded,
        fsSize,
        isScreenCapture,
        whereFroms,
        acquisitionMake,
        acquisitionModel,
        textContent,
        lastUsedDate,
    };
    // What an attribute holds decides which values and operators it accepts.
    enum class Holds
    {
        text,      // one string
        lines,     // several strings; a comparison holds when one of them satisfies it
        content,   // the words inside the file
        number,
        date,
    };

    enum class Op
    {
        equal,
        notEqual,
        less,
        lessOrEqual,
        greater,
        greaterOrEqual,
    };

    // A string value: the literal texts between its wildcards, so "*a*b"
    // is {"", "a", "b"} and a value without a star is one segment.
    struct Pattern
    {
        std::vector<QString> segments{QString()};
        bool caseless = false;     // c
        bool diacriticless = false; // d
        bool wordBased = false;    // w: matches from the start of a word

        bool hasWildcard() const { return segments.size() > 1; }
        // "*" and "**": any value at all.
        bool matchesAnything() const;
        // A literal followed by at most one trailing star: a word or phrase
        // prefix the text index can answer itself.
        bool isPrefixForm() const;
        bool operator==(const Pattern &) const = default;
    };
    struct Instant
    {
        qint64 ms = 0; // since the epoch, UTC
        bool operator==(const Instant &) const = default;
    };
    using Value = std::variant<Pattern, qint64, double, Instant>;

    struct Comparison
    {
        Attribute attribute = Attribute::fsName;
        Op op = Op::equal;
        Value value{qint64(0)};
        bool operator==(const Comparison &) const = default;
    };

    struct Node
    {
        enum class Kind
        {
            comparison,
            all, // &&
            any, // ||
        };
        Kind kind = Kind::comparison;
        Comparison comparison; // for a comparison
        std::vector<Node> children; // for all and any, two or more
        bool operator==(const Node &) const = default;
    };

    static Holds holds(Attribute attribute);
    // The attribute of a kMDItem… name, when the index keeps it.
    static std::optional<Attribute> attribute(QStringView name);
};
