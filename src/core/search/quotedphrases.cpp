#include "quotedphrases.h"

#include <QSet>

namespace {

bool opens(QChar c)
{
    return c == u'"' || c == u'\u201C';
}

bool closes(QChar c)
{
    return c == u'"' || c == u'\u201D';
}

// Spaces and tabs, not line breaks.
QString trimmed(QStringView s)
{
    while (!s.isEmpty() && (s.front() == u' ' || s.front() == u'\t'))
        s = s.mid(1);
    while (!s.isEmpty() && (s.back() == u' ' || s.back() == u'\t'))
        s.chop(1);
    return s.toString();
}

} // namespace

QuotedPhrases::Result QuotedPhrases::take(const QString &text)
{
    Result out;
    out.rest.reserve(text.size());
    QSet<QString> seen;
    const qsizetype size = text.size();
    // The first closing quote after the current position; it only moves forward.
    qsizetype closer = 0;
    qsizetype i = 0;
    while (i < size) {
        ++out.steps;
        const QChar c = text.at(i);
        if (!opens(c)) {
            out.rest += c;
            ++i;
            continue;
        }
        if (closer <= i)
            closer = i + 1;
        while (closer < size && !closes(text.at(closer))) {
            ++closer;
            ++out.steps;
        }
        if (closer >= size) {
            // No closing quote anywhere after: nothing further can be a phrase.
            out.rest += QStringView(text).mid(i);
            out.steps += size - i;
            break;
        }
        if (closer == i + 1) {
            // An empty pair opens nothing; the closing quote may still open the next phrase.
            out.rest += c;
            ++i;
            continue;
        }
        const QString phrase = trimmed(QStringView(text).mid(i + 1, closer - i - 1));
        if (!phrase.isEmpty() && !seen.contains(phrase)) {
            seen.insert(phrase);
            out.phrases.append(phrase);
        }
        out.rest += u' ';
        i = closer + 1;
    }
    return out;
}
