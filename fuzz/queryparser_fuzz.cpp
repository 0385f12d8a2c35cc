// Any text at all: the parser must return, without a fault, a query whose
// fields keep their invariants, and what is made from it (chips, the
// predicate, a record test) must hold up too.
#include "search/queryparser.h"
#include "search/spotlight.h"

#include <QLocale>
#include <QSet>
#include <QTimeZone>

#include <cstdlib>

namespace {

void check(bool ok)
{
    if (!ok)
        std::abort();
}

void exercise(const QString &text)
{
    static const Calendar calendar(QTimeZone("Europe/Berlin"), Qt::Monday);
    static const QStringList sources = {"Gmail", "ChatGPT", "Canva", "Team Chat", "docs.google.com", "a"};
    const Millis now = 1'736'931'600'000;
    Query q = QueryParser::parse(text, sources, now, calendar);

    check(q.kindLabel.has_value() == q.hasKindFilter());
    check(!(q.from || q.to) || q.dateLabel.has_value());
    check(!(q.minSize || q.maxSize) || q.sizeLabel.has_value());
    check(!q.source || sources.contains(*q.source));
    QSet<QString> seen;
    for (const QString &term : q.terms) {
        check(!term.isEmpty());
        check(!seen.contains(term));
        seen.insert(term);
    }
    const QList<Chip> chips = q.chips();
    QSet<QString> ids;
    for (const Chip &c : chips)
        ids.insert(c.id);
    const std::optional<QString> predicate = Spotlight::queryString(q);
    check(predicate.has_value() == (q.hasKindFilter() || q.from || q.to || q.minSize || q.maxSize || q.source ||
                                    q.device || !q.terms.isEmpty()));

    FileItem::Fields f;
    f.path = "/home/someone/" + text.left(200).toUtf8().replace('/', '_');
    f.ext = lowerExtension(text.left(200));
    f.kind = Kinds::of(f.ext);
    f.size = 5'000'000;
    f.modified = now;
    const FileItem item(f);
    const OcrTexts ocr{{f.path, text}};
    const SubjectLabels subjects{{f.path, {text}}};
    q.matches(item, ocr, subjects, true);

    q.drop(ids);
    check(q.chips().isEmpty());
    check(!Spotlight::queryString(q));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const bool ready = [] {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        return true;
    }();
    (void)ready;
    if (size > 4096)
        return 0;
    const char *bytes = reinterpret_cast<const char *>(data);
    exercise(QString::fromUtf8(bytes, qsizetype(size)));
    // Also as raw UTF-16, lone surrogates and all, as a text field can hold them.
    exercise(QString(reinterpret_cast<const QChar *>(data), qsizetype(size / 2)));
    return 0;
}
