#pragma once

#include <QString>
#include <QStringList>

// The quoted phrases of search text: text between an opening quote (" or “)
// and the next closing one (" or ”), read left to right in one pass, so that
// text pasted with thousands of quotes costs no more than plain text.
class QuotedPhrases final
{
public:
    struct Result
    {
        // Trimmed, without empty ones or repeats, in order of appearance.
        QStringList phrases;
        // The text with each quoted phrase, quotes included, cut out for a space.
        QString rest;
        // Characters looked at: a measure of the work, at most twice the text's length.
        qsizetype steps = 0;
    };

    QuotedPhrases() = delete;

    static Result take(const QString &text);
};
