#pragma once

#include "predicate.h"

#include <QByteArray>

#include <string>
#include <string_view>
#include <vector>

struct sqlite3;

// Tests UTF-8 texts against a string value of the predicate language, with
// its wildcards and modifiers: c folds case, d drops accents (and the
// strokes of letters such as ø and ł), w lets the value start at any word
// instead of only at the start of the text. Both sides are folded the same
// way, character by character, and then compared as bytes. The index
// registers it with SQLite as tovalo_match(text, pattern, flags) for what
// the database's own LIKE and GLOB cannot answer.
class PatternMatcher final
{
public:
    enum Flag
    {
        caseless = 1,
        diacriticless = 2,
        wordBased = 4,
        anyLine = 8, // the text holds one value per line; one of them must match
    };

    // `segments` are the literal texts between the stars, as written.
    PatternMatcher(const std::vector<QString> &segments, int flags);

    bool matches(std::string_view utf8) const;
    int flags() const { return m_flags; }
    // The folded literal texts between the stars.
    const std::vector<std::string> &folded() const { return m_folded; }

    static int flagsOf(const Predicate::Pattern &pattern);
    // Folds with the case and accent flags of `flags`; other flags are ignored.
    static std::string fold(std::string_view utf8, int flags);

    // The pattern as tovalo_match's second argument takes it: the segments
    // joined by stars, with backslashes and stars inside them escaped.
    static QByteArray encode(const std::vector<QString> &segments);
    static std::vector<QString> decode(std::string_view encoded);

    // What the name index keeps for a name: the name folded each way a
    // pattern may fold it, each of those folded once more in full, the
    // distinct ones joined by '/' (which no name holds). Folding works one
    // character at a time, so a segment a pattern finds in a name, put
    // through the same two folds, is a substring of this key.
    static std::string indexKey(std::string_view utf8);
    // What an index key must contain for `segments` to match under `flags`:
    // every segment of at least three characters (the index's grain),
    // folded as indexKey folds; none when no segment is that long.
    static std::vector<std::string> indexTerms(const std::vector<QString> &segments, int flags);

    // Adds tovalo_match to a connection; false when SQLite refused.
    static bool registerWith(sqlite3 *db);

private:
    bool matchesOne(std::string_view text) const;
    bool matchesWhole(std::string_view text) const;
    bool matchesFromWord(std::string_view text) const;

    std::vector<std::string> m_folded;
    int m_flags = 0;
};
