#pragma once

#include "predicate.h"

#include <QByteArray>
#include <QString>

#include <variant>
#include <vector>

// Turns a parsed predicate into one SQL statement over the index's files and
// file_text tables. Every value of the predicate travels as a bound
// parameter; the SQL text itself is made only of this class's own words, so
// no file name or search term can change what the statement does.
class PredicateSql final
{
public:
    // Bound in order to the statement's ? placeholders: QString as text,
    // QByteArray as a blob.
    using Binding = std::variant<qint64, double, QString, QByteArray>;
    struct Statement
    {
        QString sql;
        std::vector<Binding> bindings;
    };

    // A condition on one row of files (its columns unqualified).
    static Statement condition(const Predicate::Node &node);
    // Paths of the files under `scope` (native path bytes; empty for all)
    // that satisfy `node`, most recent content change first, at most `limit`.
    static Statement select(const Predicate::Node &node, const QByteArray &scope, int limit);
};
