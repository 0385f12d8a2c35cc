#include "queryparser.h"

#include "library/library.h"
#include "model/fmt.h"
#include "querywords.h"
#include "quotedphrases.h"

#include <QHash>
#include <QRegularExpression>
#include <QSet>

#include <array>
#include <limits>
#include <optional>
#include <vector>

namespace {

using Captures = QStringList;

QRegularExpression compile(const QString &pattern)
{
    QRegularExpression re(pattern, QRegularExpression::CaseInsensitiveOption |
                                       QRegularExpression::UseUnicodePropertiesOption);
    // Compiled now, once: matching a shared expression then only reads it.
    re.optimize();
    return re;
}

// A count: one or more digits, or a count word, optionally after "a" and before "of".
const char kNum[] =
    R"((?:a\s+)?(\d+|an?|one|two|three|four|five|six|seven|eight|nine|ten|couple|few)(?:\s+of)?)";

const std::array<const char16_t *, 12> kMonths = {u"january", u"february", u"march",     u"april",
                                                  u"may",     u"june",     u"july",      u"august",
                                                  u"september", u"october", u"november", u"december"};

const std::array<const char16_t *, 14> kDevices = {u"iphone",  u"ipad",    u"phone",  u"camera", u"gopro",
                                                   u"drone",   u"pixel",   u"oneplus", u"samsung",
                                                   u"android", u"canon",   u"nikon",  u"sony",   u"fujifilm"};

struct Patterns
{
    QRegularExpression back = compile(QStringLiteral(R"((days?|weeks?|months?|years?) back\b)"));
    std::vector<QRegularExpression> sizeNumbers;
    QRegularExpression over = compile(QStringLiteral(
        R"((over|above|bigger than|larger than|greater than|more than|at least|>)\s*(\d+(?:\.\d+)?)\s*(kb|mb|gb|tb|k|m|g)\b)"));
    QRegularExpression under = compile(QStringLiteral(
        R"((under|below|smaller than|less than|at most|<)\s*(\d+(?:\.\d+)?)\s*(kb|mb|gb|tb|k|m|g)\b)"));
    QRegularExpression big = compile(QStringLiteral(R"(\b(large|big|huge)\b)"));
    QRegularExpression olderThan =
        compile(QStringLiteral(R"(older than\s+)") + QLatin1String(kNum) +
                QStringLiteral(R"(\s*(day|week|month|year)s?)"));
    QRegularExpression moreThanAgo =
        compile(QStringLiteral(R"((?:more than|over)\s+)") + QLatin1String(kNum) +
                QStringLiteral(R"(\s*(day|week|month|year)s?\s+(?:ago|old))"));
    QRegularExpression lastCount =
        compile(QStringLiteral(R"((?:since |from |in |within |during |over )?(?:the )?(?:last|past)\s+)") +
                QLatin1String(kNum) + QStringLiteral(R"(\s*)") + QStringLiteral(R"((day|week|month|year)s?)"));
    QRegularExpression countAgo =
        compile(QStringLiteral(R"((?:since |from )?)") + QLatin1String(kNum) +
                QStringLiteral(R"(\s*(day|week|month|year)s?\s+ago)"));
    QRegularExpression inTheLast =
        compile(QStringLiteral(R"((?:in|within|during|over) the (?:last|past)\s+(day|week|month|year)s?)"));
    QRegularExpression period = compile(QStringLiteral(
        R"((since |from |in )?(today|yesterday|this week|last week|this month|last month|this year|last year))"));
    QRegularExpression recent = compile(QStringLiteral(R"(\b(recent|recently|latest|newest)\b)"));
    QRegularExpression month;
    QRegularExpression year =
        compile(QStringLiteral(R"((since |after |before |until |from |in )?\b(20\d{2})\b)"));
    QRegularExpression device = compile(QStringLiteral(
        R"(\b(?:from|on|with|shot on|taken on|taken with|filmed on)\s+(?:my\s+|an?\s+)?(iphone|ipad|phone|camera|gopro|drone|pixel|oneplus|samsung|android|canon|nikon|sony|fujifilm)\b)"));
    QRegularExpression source = compile(QStringLiteral(R"(\b(?:from|via)\s+(?:my\s+)?([a-z0-9][a-z0-9.\-']*))"));

    Patterns()
    {
        for (const QueryWords::SizeNumber &w : QueryWords::sizeNumbers())
            sizeNumbers.push_back(compile(QStringLiteral(R"(\b)") + QString::fromUtf16(w.word) +
                                          QStringLiteral(R"(\s+(?=(kb|mb|gb)\b))")));
        QStringList alternatives;
        for (const char16_t *name : kMonths) {
            const QString full = QString::fromUtf16(name);
            alternatives << full << full.left(3);
        }
        month = compile(QStringLiteral(R"((since |after |before |until |from |in )?\b()") +
                        alternatives.join(u'|') + QStringLiteral(R"()\b(?:\s+(20\d{2}))?)"));
    }
};

const Patterns &patterns()
{
    static const Patterns p;
    return p;
}

// The first match of `re` in `text` as its capture list (a group that took no
// part gives an empty string); with `consume`, the match is cut out for a space.
std::optional<Captures> take(const QRegularExpression &re, QString &text, bool consume)
{
    if (!re.isValid())
        return std::nullopt;
    const QRegularExpressionMatch m = re.match(text);
    if (!m.hasMatch())
        return std::nullopt;
    Captures captures;
    const int groups = re.captureCount();
    captures.reserve(groups + 1);
    for (int i = 0; i <= groups; ++i)
        captures.append(m.captured(i));
    if (consume)
        text.replace(m.capturedStart(0), m.capturedLength(0), QStringLiteral(" "));
    return captures;
}

// The source phrase is cut with a pattern made from the name that was found;
// names repeat from keystroke to keystroke, so each is compiled once per thread.
const QRegularExpression &sourceCut(const QString &name)
{
    thread_local QHash<QString, QRegularExpression> cache;
    const auto found = cache.constFind(name);
    if (found != cache.cend())
        return found.value();
    if (cache.size() >= 64)
        cache.clear();
    return cache.insert(name, compile(QStringLiteral(R"(\b(?:from|via)\s+(?:my\s+)?)") +
                                      QRegularExpression::escape(name)))
        .value();
}

// Spaces and tabs, not line breaks.
QString trimmed(const QString &s)
{
    qsizetype begin = 0;
    qsizetype end = s.size();
    while (begin < end && (s.at(begin) == u' ' || s.at(begin) == u'\t'))
        ++begin;
    while (end > begin && (s.at(end - 1) == u' ' || s.at(end - 1) == u'\t'))
        --end;
    return s.mid(begin, end - begin);
}

bool sameWord(QStringView a, QStringView b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

QString plural(qint64 n, const QString &unit)
{
    return QString::number(n) + u' ' + unit + (n == 1 ? QString() : QStringLiteral("s"));
}

enum class DateUnit { days, weeks, months, years };

DateUnit unitOf(const QString &word)
{
    if (word.startsWith(u"day", Qt::CaseInsensitive))
        return DateUnit::days;
    if (word.startsWith(u"week", Qt::CaseInsensitive))
        return DateUnit::weeks;
    if (word.startsWith(u"month", Qt::CaseInsensitive))
        return DateUnit::months;
    return DateUnit::years;
}

// `now` moved back `n` units in the calendar; none past what a calendar
// can count (about a million years).
std::optional<Millis> back(Millis now, qint64 n, DateUnit unit, const Calendar &calendar)
{
    constexpr qint64 kMaxYears = 1'000'000;
    const QDateTime at = calendar.at(now);
    QDateTime moved;
    switch (unit) {
    case DateUnit::days:
        if (n > kMaxYears * 366)
            return std::nullopt;
        moved = at.addDays(-n);
        break;
    case DateUnit::weeks:
        if (n > kMaxYears * 53)
            return std::nullopt;
        moved = at.addDays(-7 * n);
        break;
    case DateUnit::months:
        if (n > kMaxYears * 12)
            return std::nullopt;
        moved = at.addMonths(-int(n));
        break;
    case DateUnit::years:
        if (n > kMaxYears)
            return std::nullopt;
        moved = at.addYears(-int(n));
        break;
    }
    if (!moved.isValid())
        return std::nullopt;
    return moved.toMSecsSinceEpoch();
}

// A named period with its prefix word: "since" keeps it open-ended, "after"
// starts where it ends, "before"/"until" ends where it starts.
void bound(Query &q, const QString &prefixWord, std::optional<Millis> start, std::optional<Millis> end,
           const QString &name)
{
    const QString prefix = trimmed(prefixWord);
    if (sameWord(prefix, u"since")) {
        q.from = start;
        q.to.reset();
        q.dateLabel = QStringLiteral("Since ") + name;
    } else if (sameWord(prefix, u"after")) {
        q.from = end;
        q.to.reset();
        q.dateLabel = QStringLiteral("After ") + name;
    } else if (sameWord(prefix, u"before") || sameWord(prefix, u"until")) {
        q.from.reset();
        q.to = start;
        q.dateLabel = QStringLiteral("Before ") + name;
    } else {
        q.from = start;
        q.to = end;
        q.dateLabel = name;
    }
}

QString capitalised(const QString &s)
{
    if (s.isEmpty())
        return s;
    return s.left(1).toUpper() + s.mid(1);
}

void readSize(Query &q, QString &text)
{
    const Patterns &p = patterns();
    bool sized = false;
    if (const auto m = take(p.over, text, true)) {
        sized = true;
        if (const auto bytes = QueryWords::byteCount(m->at(2), m->at(3))) {
            q.minSize = *bytes;
            q.sizeLabel = QStringLiteral("Over ") + Fmt::size(*bytes);
        }
    }
    if (const auto m = take(p.under, text, true)) {
        sized = true;
        if (const auto bytes = QueryWords::byteCount(m->at(2), m->at(3))) {
            q.maxSize = *bytes;
            q.sizeLabel = (q.minSize ? *q.sizeLabel + QStringLiteral(", under ") : QStringLiteral("Under ")) +
                          Fmt::size(*bytes);
        }
    }
    if (!sized && take(p.big, text, true)) {
        q.minSize = Library::kLargeFileBytes;
        q.sizeLabel = QStringLiteral("Over 100 MB");
    }
}

bool readNamedPeriod(Query &q, const Captures &m, Millis now, const Calendar &cal)
{
    const QString &name = m.at(2);
    const QDate today = cal.dateOf(now);
    const QDate week = cal.weekStart(today);
    const QDate month(today.year(), today.month(), 1);
    const QDate year(today.year(), 1, 1);
    const auto is = [&](const char16_t *period) { return sameWord(name, QStringView(period)); };
    if (is(u"today")) {
        q.from = cal.startOf(today);
    } else if (is(u"yesterday")) {
        q.from = cal.startOf(today.addDays(-1));
        q.to = cal.startOf(today);
    } else if (is(u"this week")) {
        q.from = cal.startOf(week);
    } else if (is(u"last week")) {
        q.from = cal.startOf(week.addDays(-7));
        q.to = cal.startOf(week);
    } else if (is(u"this month")) {
        q.from = cal.startOf(month);
    } else if (is(u"last month")) {
        q.from = cal.startOf(month.addMonths(-1));
        q.to = cal.startOf(month);
    } else if (is(u"this year")) {
        q.from = cal.startOf(year);
    } else {
        q.from = cal.startOf(year.addYears(-1));
        q.to = cal.startOf(year);
    }
    if (m.at(1).startsWith(u"since", Qt::CaseInsensitive)) {
        q.to.reset();
        q.dateLabel = QStringLiteral("Since ") + name;
    } else {
        q.dateLabel = capitalised(name);
    }
    return true;
}

void readMonth(Query &q, const Captures &m, Millis now, const Calendar &cal)
{
    int monthNumber = 0;
    for (int i = 0; i < int(kMonths.size()); ++i) {
        if (QStringView(kMonths[size_t(i)]).startsWith(m.at(2), Qt::CaseInsensitive)) {
            monthNumber = i + 1;
            break;
        }
    }
    if (monthNumber == 0)
        return;
    const QDate today = cal.dateOf(now);
    int year = today.year();
    const QString &typed = m.at(3);
    if (!typed.isEmpty()) {
        const auto y = QueryWords::decimalInteger(typed);
        if (!y)
            return;
        year = int(*y);
    } else if (monthNumber > today.month()) {
        year -= 1;
    }
    const QDate first(year, monthNumber, 1);
    const std::optional<Millis> start = cal.startOf(first);
    if (!start)
        return;
    QString name = capitalised(QString::fromUtf16(kMonths[size_t(monthNumber - 1)]));
    if (!typed.isEmpty())
        name += u' ' + typed;
    bound(q, m.at(1), start, cal.startOf(first.addMonths(1)), name);
}

void readYear(Query &q, const Captures &m, const Calendar &cal)
{
    const auto y = QueryWords::decimalInteger(m.at(2));
    if (!y)
        return;
    const QDate first(int(*y), 1, 1);
    const std::optional<Millis> start = cal.startOf(first);
    if (!start)
        return;
    bound(q, m.at(1), start, cal.startOf(first.addYears(1)), m.at(2));
}

// Only the first date phrase counts; the others stay in the text as words.
void readDate(Query &q, QString &text, Millis now, const Calendar &cal)
{
    const Patterns &p = patterns();
    auto m = take(p.olderThan, text, true);
    if (!m)
        m = take(p.moreThanAgo, text, true);
    if (m) {
        const qint64 n = QueryWords::count(m->at(1));
        q.to = back(now, n, unitOf(m->at(2)), cal);
        q.dateLabel = QStringLiteral("Older than ") + plural(n, m->at(2));
        return;
    }
    m = take(p.lastCount, text, true);
    if (!m)
        m = take(p.countAgo, text, true);
    if (m) {
        const qint64 n = QueryWords::count(m->at(1));
        q.from = back(now, n, unitOf(m->at(2)), cal);
        q.dateLabel = QStringLiteral("Last ") + plural(n, m->at(2));
        return;
    }
    if ((m = take(p.inTheLast, text, true))) {
        q.from = back(now, 1, unitOf(m->at(1)), cal);
        q.dateLabel = QStringLiteral("Last 1 ") + m->at(1);
        return;
    }
    if ((m = take(p.period, text, true))) {
        readNamedPeriod(q, *m, now, cal);
        return;
    }
    if (take(p.recent, text, true)) {
        q.from = back(now, 7, DateUnit::days, cal);
        q.dateLabel = QStringLiteral("Last 7 days");
        return;
    }
    if ((m = take(p.month, text, true))) {
        readMonth(q, *m, now, cal);
        return;
    }
    if ((m = take(p.year, text, true)))
        readYear(q, *m, cal);
}

// Whether one of the pieces of `lower`, split at spaces and full stops, is `name`.
bool hasPiece(const QString &lower, const QString &name)
{
    qsizetype start = 0;
    for (qsizetype i = 0; i <= lower.size(); ++i) {
        if (i < lower.size() && lower.at(i) != u' ' && lower.at(i) != u'.')
            continue;
        if (i > start && QStringView(lower).mid(start, i - start) == name)
            return true;
        start = i + 1;
    }
    return false;
}

void readSource(Query &q, QString &text, const QStringList &sources)
{
    const auto m = take(patterns().source, text, false);
    if (!m)
        return;
    const QString &name = m->at(1);
    const auto first = [&](auto &&test) -> std::optional<QString> {
        for (const QString &s : sources)
            if (test(s.toLower()))
                return s;
        return std::nullopt;
    };
    std::optional<QString> hit = first([&](const QString &lower) { return lower == name; });
    if (!hit)
        hit = first([&](const QString &lower) { return hasPiece(lower, name); });
    if (!hit && name.size() >= 3)
        hit = first([&](const QString &lower) { return lower.contains(name); });
    if (!hit)
        return;
    q.source = *hit;
    take(sourceCut(name), text, true);
}

bool trimsFromWord(QChar c)
{
    return c == u'.' || c == u'?' || c == u'!' || c == u':' || c == u'(' || c == u')';
}

// `seen` holds the terms already in `q`: a lookup per word keeps long pasted text linear.
void readWords(Query &q, const QString &text, QSet<QString> &seen)
{
    QStringList labels;
    qsizetype start = 0;
    const qsizetype size = text.size();
    for (qsizetype i = 0; i <= size; ++i) {
        // Any white space separates words: a tab or line break kept inside a
        // word would make a term no name can contain, and blank text must
        // give no terms at all.
        if (i < size && !text.at(i).isSpace() && text.at(i) != u',' && text.at(i) != u';')
            continue;
        QStringView piece = QStringView(text).mid(start, i - start);
        start = i + 1;
        while (!piece.isEmpty() && trimsFromWord(piece.front()))
            piece = piece.mid(1);
        while (!piece.isEmpty() && trimsFromWord(piece.back()))
            piece.chop(1);
        if (piece.isEmpty())
            continue;
        QString word = piece.toString();
        if (const QueryWords::KindWord *entry = QueryWords::kindWord(word)) {
            q.kinds.insert(entry->kinds.begin(), entry->kinds.end());
            for (const QString &ext : entry->exts)
                q.exts.insert(ext);
            if (entry->shots)
                q.screenshots = true;
            if (!labels.contains(entry->label))
                labels.append(entry->label);
            continue;
        }
        if (QueryWords::isStop(word))
            continue;
        if (word.endsWith(u"'s"))
            word.chop(2);
        // "'s" on its own leaves nothing, and an empty term would match every name.
        if (!word.isEmpty() && !seen.contains(word)) {
            seen.insert(word);
            q.terms.append(word);
        }
    }
    if (!labels.isEmpty())
        q.kindLabel = labels.join(QStringLiteral(" + "));
}

} // namespace

Query QueryParser::parse(const QString &text, const QStringList &sources, Millis now)
{
    return parse(text, sources, now, Calendar::current());
}

Query QueryParser::parse(const QString &input, const QStringList &sources, Millis now, const Calendar &calendar)
{
    const Patterns &p = patterns();
    Query q;
    QString text = u' ' + input.toLower() + u' ';

    text.replace(QStringLiteral(" previous "), QStringLiteral(" last "));
    text.replace(QStringLiteral(" fortnight"), QStringLiteral(" 2 weeks"));
    text.replace(QStringLiteral("day before yesterday"), QStringLiteral("last 2 days"));
    text.replace(QStringLiteral(" gigs"), QStringLiteral(" gb"));
    text.replace(QStringLiteral(" gig "), QStringLiteral(" gb "));
    text.replace(QStringLiteral(" megs"), QStringLiteral(" mb"));
    text.replace(QStringLiteral("heavier than"), QStringLiteral("over"));
    text.replace(QStringLiteral("lighter than"), QStringLiteral("under"));

    text.replace(p.back, QStringLiteral("\\1 ago"));
    // Case-insensitive matching also reads the long s as an s, so a plain
    // search for the word cannot rule the pattern out then.
    const bool longS = text.contains(u'\u017F');
    const auto sizeNumbers = QueryWords::sizeNumbers();
    for (size_t i = 0; i < p.sizeNumbers.size(); ++i) {
        const QueryWords::SizeNumber &w = sizeNumbers[i];
        if (longS || text.contains(QStringView(w.word)))
            text.replace(p.sizeNumbers[i], QString::number(w.value) + u' ');
    }

    QuotedPhrases::Result quoted = QuotedPhrases::take(text);
    text = std::move(quoted.rest);
    q.terms = std::move(quoted.phrases);
    QSet<QString> seen(q.terms.cbegin(), q.terms.cend());

    readSize(q, text);
    readDate(q, text, now, calendar);
    if (const auto m = take(p.device, text, true)) {
        for (const char16_t *device : kDevices)
            if (sameWord(m->at(1), QStringView(device)))
                q.device = QString::fromUtf16(device);
    }
    readSource(q, text, sources);
    readWords(q, text, seen);
    return q;
}
