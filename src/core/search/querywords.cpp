#include "querywords.h"

#include <QHash>
#include <QSet>

namespace {

constexpr QueryWords::SizeNumber kSizeNumbers[] = {{u"two", 2},   {u"three", 3}, {u"four", 4},
                                                   {u"five", 5},  {u"six", 6},   {u"seven", 7},
                                                   {u"eight", 8}, {u"nine", 9},  {u"ten", 10}};

struct CountWord
{
    const char16_t *word;
    int value;
};
constexpr CountWord kCounts[] = {{u"a", 1},    {u"an", 1},    {u"one", 1},    {u"two", 2},   {u"three", 3},
                                 {u"four", 4}, {u"five", 5},  {u"six", 6},    {u"seven", 7}, {u"eight", 8},
                                 {u"nine", 9}, {u"ten", 10},  {u"couple", 2}, {u"few", 3}};

struct Unit
{
    const char16_t *name;
    qint64 multiplier;
    int places; // the power of ten of the multiplier
};
constexpr Unit kUnits[] = {{u"kb", 1000, 3},     {u"k", 1000, 3},       {u"mb", 1000000, 6},
                           {u"m", 1000000, 6},   {u"gb", 1000000000, 9}, {u"g", 1000000000, 9},
                           {u"tb", 1000000000000, 12}};

struct Tables
{
    QHash<QString, QueryWords::KindWord> kindWords;
    QSet<QString> stop;

    // Rows in order; a later row would replace an earlier entry for the same word.
    void row(const char *words, const QueryWords::KindWord &entry)
    {
        for (const QString &w : QString::fromLatin1(words).split(u' ', Qt::SkipEmptyParts))
            kindWords.insert(w, entry);
    }

    Tables()
    {
        const auto exts = [](const char *list) { return QString::fromLatin1(list).split(u' '); };
        row("image photo picture pic", {{Kind::image}, {}, false, QStringLiteral("Images")});
        row("screenshot", {{}, {}, true, QStringLiteral("Screenshots")});
        row("video movie clip recording", {{Kind::video}, {}, false, QStringLiteral("Videos")});
        row("music song audio track", {{Kind::music}, {}, false, QStringLiteral("Music")});
        row("doc document", {{Kind::document}, {}, false, QStringLiteral("Documents")});
        row("archive", {{Kind::archive}, {}, false, QStringLiteral("Archives")});
        row("app application", {{Kind::app}, {}, false, QStringLiteral("Apps")});
        row("pdf", {{}, exts("pdf"), false, QStringLiteral("PDFs")});
        row("zip", {{}, exts("zip"), false, QStringLiteral("Zips")});
        row("installer dmg", {{}, exts("dmg pkg"), false, QStringLiteral("Installers")});
        row("spreadsheet sheet", {{}, exts("xls xlsx numbers csv"), false, QStringLiteral("Spreadsheets")});
        row("presentation slide deck", {{}, exts("ppt pptx key"), false, QStringLiteral("Presentations")});
        const char *single = "png jpg jpeg gif heic webp svg psd mp4 mov mkv mp3 wav csv docx xlsx pptx txt md "
                             "epub json html pkg rar";
        for (const QString &w : QString::fromLatin1(single).split(u' ')) {
            const bool jpeg = w == u"jpg" || w == u"jpeg";
            kindWords.insert(w, {{}, jpeg ? exts("jpg jpeg") : QStringList{w}, false, w.toUpper() + u's'});
        }
        const char *stopWords =
            "a an the my of in on from and with file files that are is i me all show find for to named "
            "called by or than containing contains saying says since ago within during before after "
            "until around got sent made saved downloaded took about thing things stuff clicked added "
            "over under it this these those was were some any please where what which can you get "
            "need want have";
        for (const QString &w : QString::fromLatin1(stopWords).split(u' '))
            stop.insert(w);
    }
};

const Tables &tables()
{
    static const Tables t;
    return t;
}

bool sameWord(QStringView a, QStringView b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

} // namespace

const QueryWords::KindWord *QueryWords::kindWord(const QString &word)
{
    const auto &words = tables().kindWords;
    auto found = words.constFind(word);
    if (found == words.cend() && word.endsWith(u's'))
        found = words.constFind(word.chopped(1));
    return found == words.cend() ? nullptr : &found.value();
}

bool QueryWords::isStop(const QString &word)
{
    return tables().stop.contains(word);
}

std::optional<qint64> QueryWords::decimalInteger(QStringView digits)
{
    if (digits.isEmpty())
        return std::nullopt;
    qint64 value = 0;
    for (const char32_t c : digits.toUcs4()) {
        const int d = QChar::digitValue(c);
        if (d < 0)
            return std::nullopt;
        if (__builtin_mul_overflow(value, qint64(10), &value) || __builtin_add_overflow(value, qint64(d), &value))
            return std::nullopt;
    }
    return value;
}

qint64 QueryWords::count(const QString &word)
{
    if (const auto n = decimalInteger(word))
        return *n;
    // Compared as the patterns match, so a count word the pattern admitted is found.
    for (const CountWord &w : kCounts)
        if (sameWord(word, QStringView(w.word)))
            return w.value;
    return 1;
}

std::optional<qint64> QueryWords::byteCount(const QString &number, const QString &unitText)
{
    const Unit *unit = nullptr;
    for (const Unit &u : kUnits)
        if (sameWord(unitText, QStringView(u.name)))
            unit = &u;
    if (!unit)
        return std::nullopt;
    const qsizetype point = number.indexOf(u'.');
    const QStringView text(number);
    const auto whole = decimalInteger(point < 0 ? text : text.left(point));
    if (!whole)
        return std::nullopt;
    qint64 bytes = 0;
    if (__builtin_mul_overflow(*whole, unit->multiplier, &bytes))
        return std::nullopt;
    if (point >= 0) {
        // The unit's places of the fraction are whole bytes; what lies beyond is a fraction of a byte.
        const QList<uint> digits = text.mid(point + 1).toUcs4();
        qint64 fraction = 0;
        for (int i = 0; i < unit->places; ++i) {
            const int d = i < digits.size() ? QChar::digitValue(char32_t(digits.at(i))) : 0;
            if (d < 0)
                return std::nullopt;
            fraction = fraction * 10 + d;
        }
        if (__builtin_add_overflow(bytes, fraction, &bytes))
            return std::nullopt;
    }
    return bytes;
}

std::span<const QueryWords::SizeNumber> QueryWords::sizeNumbers()
{
    return kSizeNumbers;
}
