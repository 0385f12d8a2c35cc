#include "predicateparser.h"

#include <QDateTime>

namespace {

using Attribute = Predicate::Attribute;
using Holds = Predicate::Holds;
using Node = Predicate::Node;
using Op = Predicate::Op;

// Thrown inside the parse only; parse() turns it into its error text.
struct Failure
{
    qsizetype at;
    QString why;
};

bool isNameChar(QChar c)
{
    return c.isLetterOrNumber() || c == u'_';
}

class Reader final
{
public:
    explicit Reader(QStringView text) : m_text(text) {}

    Node predicate()
    {
        Node node = anyOf(0);
        skipSpace();
        if (m_at < m_text.size())
            fail(QStringLiteral("expected && or || or the end"));
        return node;
    }

private:
    Node anyOf(int depth)
    {
        Node first = allOf(depth);
        if (!peekWord(u"||"))
            return first;
        Node node{.kind = Node::Kind::any, .comparison = {}, .children = {}};
        node.children.push_back(std::move(first));
        while (takeWord(u"||"))
            node.children.push_back(allOf(depth));
        return node;
    }

    Node allOf(int depth)
    {
        Node first = primary(depth);
        if (!peekWord(u"&&"))
            return first;
        Node node{.kind = Node::Kind::all, .comparison = {}, .children = {}};
        node.children.push_back(std::move(first));
        while (takeWord(u"&&"))
            node.children.push_back(primary(depth));
        return node;
    }

    Node primary(int depth)
    {
        skipSpace();
        if (m_at < m_text.size() && m_text[m_at] == u'(') {
            if (depth >= PredicateParser::kMaxDepth)
                fail(QStringLiteral("parentheses nested too deeply"));
            ++m_at;
            Node inner = anyOf(depth + 1);
            skipSpace();
            if (m_at >= m_text.size() || m_text[m_at] != u')')
                fail(QStringLiteral("expected )"));
            ++m_at;
            return inner;
        }
        return Node{.kind = Node::Kind::comparison, .comparison = comparison(), .children = {}};
    }

    Predicate::Comparison comparison()
    {
        skipSpace();
        const qsizetype nameAt = m_at;
        while (m_at < m_text.size() && isNameChar(m_text[m_at]))
            ++m_at;
        const QStringView name = m_text.sliced(nameAt, m_at - nameAt);
        if (name.isEmpty())
            fail(QStringLiteral("expected an attribute name"), nameAt);
        const std::optional<Attribute> attribute = Predicate::attribute(name);
        if (!attribute)
            fail(QStringLiteral("unknown attribute %1").arg(name), nameAt);

        skipSpace();
        const qsizetype opAt = m_at;
        const Op op = oper();
        skipSpace();
        const qsizetype valueAt = m_at;
        Predicate::Value value = this->value();

        const Holds holds = Predicate::holds(*attribute);
        const bool isString = std::holds_alternative<Predicate::Pattern>(value);
        const bool isDate = std::holds_alternative<Predicate::Instant>(value);
        const bool isNumber = !isString && !isDate;
        switch (holds) {
        case Holds::text:
        case Holds::lines:
        case Holds::content:
            if (!isString)
                fail(QStringLiteral("%1 takes a quoted string").arg(name), valueAt);
            if (op != Op::equal && op != Op::notEqual)
                fail(QStringLiteral("strings compare only with == and !="), opAt);
            break;
        case Holds::number:
            if (!isNumber)
                fail(QStringLiteral("%1 takes a number").arg(name), valueAt);
            break;
        case Holds::date:
            if (!isDate)
                fail(QStringLiteral("%1 takes a $time.iso(…) date").arg(name), valueAt);
            break;
        }
        return Predicate::Comparison{.attribute = *attribute, .op = op, .value = std::move(value)};
    }

    Op oper()
    {
        struct Spelling
        {
            const char16_t *text;
            Op op;
        };
        // Two-character operators first, so "<=" is not read as "<".
        static constexpr Spelling kOps[] = {{u"==", Op::equal},          {u"!=", Op::notEqual},
                                            {u">=", Op::greaterOrEqual}, {u"<=", Op::lessOrEqual},
                                            {u"<", Op::less},            {u">", Op::greater}};
        for (const Spelling &s : kOps) {
            const QStringView spelled(s.text);
            if (m_text.sliced(m_at).startsWith(spelled)) {
                m_at += spelled.size();
                return s.op;
            }
        }
        fail(QStringLiteral("expected an operator (==, !=, <, <=, >, >=)"));
    }

    Predicate::Value value()
    {
        if (m_at >= m_text.size())
            fail(QStringLiteral("expected a value"));
        const QChar c = m_text[m_at];
        if (c == u'"')
            return pattern();
        if (c == u'$')
            return instant();
        if (c == u'-' || c.isDigit())
            return number();
        fail(QStringLiteral("expected a quoted string, $time.iso(…) or a number"));
    }

    Predicate::Pattern pattern()
    {
        const qsizetype openAt = m_at++;
        Predicate::Pattern p;
        for (;;) {
            if (m_at >= m_text.size())
                fail(QStringLiteral("string without its closing quote"), openAt);
            const QChar c = m_text[m_at++];
            if (c == u'"')
                break;
            if (c == u'*') {
                p.segments.emplace_back();
                continue;
            }
            if (c == u'\\') {
                if (m_at >= m_text.size())
                    fail(QStringLiteral("string without its closing quote"), openAt);
                p.segments.back().append(m_text[m_at++]);
                continue;
            }
            p.segments.back().append(c);
        }
        while (m_at < m_text.size() && m_text[m_at].isLetter()) {
            const QChar m = m_text[m_at];
            if (m == u'c')
                p.caseless = true;
            else if (m == u'd')
                p.diacriticless = true;
            else if (m == u'w')
                p.wordBased = true;
            else
                fail(QStringLiteral("unknown string modifier %1 (c, d and w are known)").arg(m));
            ++m_at;
        }
        return p;
    }

    Predicate::Instant instant()
    {
        const qsizetype start = m_at;
        static constexpr QStringView kOpen = u"$time.iso(";
        if (!m_text.sliced(m_at).startsWith(kOpen))
            fail(QStringLiteral("expected $time.iso(…)"));
        m_at += kOpen.size();
        const qsizetype close = m_text.indexOf(u')', m_at);
        if (close < 0)
            fail(QStringLiteral("$time.iso without its closing parenthesis"), start);
        const QString iso = m_text.sliced(m_at, close - m_at).trimmed().toString();
        QDateTime when = QDateTime::fromString(iso, Qt::ISODateWithMs);
        // A date without a zone is read as UTC, never as the machine's zone.
        if (when.isValid() && when.timeSpec() == Qt::LocalTime)
            when.setTimeSpec(Qt::UTC);
        if (!when.isValid())
            fail(QStringLiteral("not an ISO 8601 date: %1").arg(iso), m_at);
        m_at = close + 1;
        return Predicate::Instant{when.toMSecsSinceEpoch()};
    }

    Predicate::Value number()
    {
        const qsizetype start = m_at;
        if (m_text[m_at] == u'-')
            ++m_at;
        bool fraction = false;
        while (m_at < m_text.size() && (m_text[m_at].isDigit() || (!fraction && m_text[m_at] == u'.'))) {
            fraction = fraction || m_text[m_at] == u'.';
            ++m_at;
        }
        if (m_at < m_text.size() && isNameChar(m_text[m_at]))
            fail(QStringLiteral("not a number"), start);
        const QStringView digits = m_text.sliced(start, m_at - start);
        bool ok = false;
        if (fraction) {
            const double d = digits.toDouble(&ok);
            if (ok)
                return d;
        } else {
            const qint64 n = digits.toLongLong(&ok);
            if (ok)
                return n;
        }
        fail(QStringLiteral("not a number"), start);
    }

    void skipSpace()
    {
        while (m_at < m_text.size() && m_text[m_at].isSpace())
            ++m_at;
    }

    bool peekWord(QStringView word)
    {
        skipSpace();
        return m_text.sliced(m_at).startsWith(word);
    }

    bool takeWord(QStringView word)
    {
        if (!peekWord(word))
            return false;
        m_at += word.size();
        return true;
    }

    [[noreturn]] void fail(const QString &why) { fail(why, m_at); }
    [[noreturn]] static void fail(const QString &why, qsizetype at) { throw Failure{at, why}; }

    QStringView m_text;
    qsizetype m_at = 0;
};

} // namespace

std::optional<Predicate::Node> PredicateParser::parse(QStringView text, QString *error)
{
    try {
        return Reader(text).predicate();
    } catch (const Failure &f) {
        if (error)
            *error = QStringLiteral("at character %1: %2").arg(f.at + 1).arg(f.why);
        return std::nullopt;
    }
}
