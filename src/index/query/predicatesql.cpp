#include "predicatesql.h"

#include "patternmatcher.h"

#include <QList>

namespace {

using Attribute = Predicate::Attribute;
using Holds = Predicate::Holds;
using Op = Predicate::Op;
using Pattern = Predicate::Pattern;

QString column(Attribute attribute)
{
    switch (attribute) {
    case Attribute::contentTypeTree: return QStringLiteral("content_types");
    case Attribute::fsName: return QStringLiteral("name");
    case Attribute::contentChangeDate: return QStringLiteral("modified");
    case Attribute::dateAdded: return QStringLiteral("added");
    case Attribute::fsSize: return QStringLiteral("size");
    case Attribute::isScreenCapture: return QStringLiteral("screen_capture");
    case Attribute::whereFroms: return QStringLiteral("where_froms");
    case Attribute::acquisitionMake: return QStringLiteral("camera_make");
    case Attribute::acquisitionModel: return QStringLiteral("camera_model");
    case Attribute::textContent: return QStringLiteral("body");
    case Attribute::lastUsedDate: return QStringLiteral("last_used");
    }
    return {};
}

QString sqlOp(Op op)
{
    switch (op) {
    case Op::equal: return QStringLiteral("=");
    case Op::notEqual: return QStringLiteral("<>");
    case Op::less: return QStringLiteral("<");
    case Op::lessOrEqual: return QStringLiteral("<=");
    case Op::greater: return QStringLiteral(">");
    case Op::greaterOrEqual: return QStringLiteral(">=");
    }
    return {};
}

bool isAscii(const std::vector<std::string> &parts)
{
    for (const std::string &p : parts)
        for (const char c : p)
            if (static_cast<unsigned char>(c) >= 0x80)
                return false;
    return true;
}

// What the text index keeps as words: letters, digits and private-use
// characters. A value with none of them names no word.
bool hasWordCharacter(const QString &text)
{
    for (const char32_t c : text.toUcs4())
        if (QChar::isLetterOrNumber(c) || QChar::category(c) == QChar::Other_PrivateUse)
            return true;
    return false;
}

// A quoted string of the text index's query language: a phrase, and with
// `prefix` its last word may go on.
QString ftsPhrase(const QString &literal, bool prefix)
{
    QString quoted = literal;
    quoted.replace(u'"', QStringLiteral("\"\""));
    return u'"' + quoted + u'"' + (prefix ? QStringLiteral("*") : QString());
}

class Writer final
{
public:
    PredicateSql::Statement take() { return std::move(m_out); }

    void node(const Predicate::Node &n)
    {
        if (n.kind == Predicate::Node::Kind::comparison) {
            comparison(n.comparison);
            return;
        }
        const QString joint = n.kind == Predicate::Node::Kind::all ? QStringLiteral(" AND ") : QStringLiteral(" OR ");
        sql(u'(');
        for (size_t i = 0; i < n.children.size(); ++i) {
            if (i > 0)
                sql(joint);
            node(n.children[i]);
        }
        sql(u')');
    }

    void sql(const QString &text) { m_out.sql += text; }
    void sql(QChar c) { m_out.sql += c; }
    void bind(PredicateSql::Binding value) { m_out.bindings.push_back(std::move(value)); }

private:
    void comparison(const Predicate::Comparison &c)
    {
        const Holds holds = Predicate::holds(c.attribute);
        if (holds == Holds::number || holds == Holds::date) {
            sql(QStringLiteral("%1 %2 ?").arg(column(c.attribute), sqlOp(c.op)));
            if (const auto *n = std::get_if<qint64>(&c.value))
                bind(*n);
            else if (const auto *d = std::get_if<double>(&c.value))
                bind(*d);
            else
                bind(std::get<Predicate::Instant>(c.value).ms);
            return;
        }
        const Pattern &p = std::get<Pattern>(c.value);
        if (holds == Holds::content) {
            if (c.op == Op::notEqual) {
                sql(QStringLiteral("(id IN (SELECT rowid FROM file_text) AND NOT "));
                contentMatch(p);
                sql(u')');
            } else {
                contentMatch(p);
            }
            return;
        }
        const QString col = column(c.attribute);
        // A file without the attribute satisfies neither == nor !=.
        if (c.op == Op::notEqual) {
            sql(QStringLiteral("(%1 IS NOT NULL AND NOT ").arg(col));
            textMatch(col, p, holds == Holds::lines);
            sql(u')');
        } else {
            const bool indexed = c.attribute == Attribute::fsName && nameIndex(p);
            textMatch(col, p, holds == Holds::lines);
            if (indexed)
                sql(u')');
        }
    }

    // The trigram index of names narrows the rows to those holding every
    // long enough literal part of the value; the exact test below then sees
    // only those. Opens a parenthesis the caller closes; false when the
    // value has no such part.
    bool nameIndex(const Pattern &p)
    {
        if (p.matchesAnything())
            return false;
        const std::vector<std::string> terms = PatternMatcher::indexTerms(p.segments, PatternMatcher::flagsOf(p));
        if (terms.empty())
            return false;
        QString query;
        for (const std::string &term : terms) {
            if (!query.isEmpty())
                query += QStringLiteral(" AND ");
            query += ftsPhrase(QString::fromStdString(term), false);
        }
        sql(QStringLiteral("(id IN (SELECT rowid FROM file_names WHERE file_names MATCH ?) AND "));
        bind(query);
        return true;
    }

    void function(const QString &col, const Pattern &p, int flags)
    {
        sql(QStringLiteral("tovalo_match(%1, ?, ?)").arg(col));
        bind(QString::fromUtf8(PatternMatcher::encode(p.segments)));
        bind(qint64(flags));
    }

    void textMatch(const QString &col, const Pattern &p, bool lines)
    {
        const int flags = PatternMatcher::flagsOf(p);
        if (p.matchesAnything() && !p.wordBased) {
            sql(QStringLiteral("%1 IS NOT NULL").arg(col));
            return;
        }
        if (!p.hasWildcard() && flags == 0) {
            const QString &literal = p.segments.front();
            if (!lines) {
                sql(QStringLiteral("%1 = ?").arg(col));
                bind(literal);
                return;
            }
            if (!literal.contains(u'\n')) {
                // Lines are joined with newlines, so a whole line is the value between two of them.
                sql(QStringLiteral("instr(char(10) || %1 || char(10), ?) > 0").arg(col));
                bind(u'\n' + literal + u'\n');
                return;
            }
        }
        if (lines || p.wordBased) {
            function(col, p, flags | (lines ? PatternMatcher::anyLine : 0));
            return;
        }
        // An ASCII value folds to itself under LIKE's and GLOB's own rules,
        // so those answer for ASCII texts; the rest need the folding function.
        const PatternMatcher folded(p.segments, flags);
        const QString nonAscii = QStringLiteral("length(%1) <> length(CAST(%1 AS BLOB))").arg(col);
        if (!isAscii(folded.folded())) {
            sql(QStringLiteral("(%1 AND ").arg(nonAscii));
            function(col, p, flags);
            sql(u')');
            return;
        }
        sql(QStringLiteral("(CASE WHEN %1 THEN ").arg(nonAscii));
        function(col, p, flags);
        if (flags & PatternMatcher::caseless) {
            sql(QStringLiteral(" ELSE %1 LIKE ? ESCAPE '\\' END)").arg(col));
            bind(likePattern(folded.folded()));
        } else {
            sql(QStringLiteral(" ELSE %1 GLOB ? END)").arg(col));
            bind(globPattern(folded.folded()));
        }
    }

    // The words inside files are matched as words and phrases: the text
    // index finds a value without stars as a phrase anywhere in the text and
    // one with a trailing star as a phrase whose last word goes on. It folds
    // case and accents itself, so a value that keeps either is checked again.
    void contentMatch(const Pattern &p)
    {
        const int flags = PatternMatcher::flagsOf(p);
        if (p.matchesAnything()) {
            sql(QStringLiteral("id IN (SELECT rowid FROM file_text)"));
            return;
        }
        if (p.isPrefixForm()) {
            const QString &literal = p.segments.front();
            if (!hasWordCharacter(literal)) {
                sql(QStringLiteral("0"));
                return;
            }
            sql(QStringLiteral("id IN (SELECT rowid FROM file_text WHERE file_text MATCH ?"));
            bind(ftsPhrase(literal, p.hasWildcard()));
            const int folding = PatternMatcher::caseless | PatternMatcher::diacriticless;
            if ((flags & folding) != folding) {
                sql(QStringLiteral(" AND "));
                function(QStringLiteral("body"), p, flags | PatternMatcher::wordBased);
            }
            sql(u')');
            return;
        }
        sql(QStringLiteral("id IN (SELECT rowid FROM file_text WHERE "));
        function(QStringLiteral("body"), p, flags);
        sql(u')');
    }

    static QString likePattern(const std::vector<std::string> &parts)
    {
        std::string out;
        for (size_t i = 0; i < parts.size(); ++i) {
            if (i > 0)
                out += '%';
            for (const char c : parts[i]) {
                if (c == '%' || c == '_' || c == '\\')
                    out += '\\';
                out += c;
            }
        }
        return QString::fromStdString(out);
    }

    static QString globPattern(const std::vector<std::string> &parts)
    {
        std::string out;
        for (size_t i = 0; i < parts.size(); ++i) {
            if (i > 0)
                out += '*';
            for (const char c : parts[i]) {
                if (c == '*' || c == '?' || c == '[')
                    out += '[' + std::string(1, c) + ']';
                else
                    out += c;
            }
        }
        return QString::fromStdString(out);
    }

    PredicateSql::Statement m_out;
};

} // namespace

PredicateSql::Statement PredicateSql::condition(const Predicate::Node &node)
{
    Writer w;
    w.node(node);
    return w.take();
}

PredicateSql::Statement PredicateSql::select(const Predicate::Node &node, const QByteArray &scope, int limit)
{
    Writer w;
    w.sql(QStringLiteral("SELECT path FROM files WHERE "));
    QByteArray folder = scope;
    while (folder.endsWith('/'))
        folder.chop(1);
    if (!scope.isEmpty()) {
        // Paths under the folder sort between "folder/" and "folder0": '0'
        // is the byte after '/', and the range keeps to the path index.
        w.sql(QStringLiteral("path >= ? AND path < ? AND "));
        w.bind(folder + '/');
        w.bind(folder + '0');
    }
    w.sql(u'(');
    w.node(node);
    w.sql(QStringLiteral(") ORDER BY modified DESC LIMIT ?"));
    w.bind(qint64(limit));
    return w.take();
}
