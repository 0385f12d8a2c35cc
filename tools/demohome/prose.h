#pragma once

#include "rng.h"

#include <QString>
#include <QStringList>

// Plausible paragraphs for the documents of the home, made from a few
// sentences per subject, so that every document reads differently.
class Prose final
{
public:
    enum class Subject
    {
        work,
        personal,
        course,
        project
    };

    static QStringList paragraphs(Rng &rng, Subject subject, int count);
    static QString sentence(Rng &rng, Subject subject);
};
