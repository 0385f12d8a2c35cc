#include "query.h"

#include "querymatcher.h"
#include "textfold.h"

namespace {

bool admits(const QueryMatcher &matcher, const FileItem &item, const OcrTexts &ocr,
            const SubjectLabels &subjects, bool checkTerms)
{
    if (!matcher.passesFilters(QueryMatcher::factsOf(item), item))
        return false;
    if (!checkTerms || matcher.termCount() == 0)
        return true;
    std::string name;
    const QByteArray &path = item.path();
    TextFold::appendName(QByteArrayView(path).sliced(path.lastIndexOf('/') + 1), name);
    const auto text = ocr.constFind(item.path());
    std::string foldedText;
    bool textFolded = false;
    const auto labels = subjects.constFind(item.path());
    for (qsizetype i = 0; i < matcher.termCount(); ++i) {
        if (matcher.inFolded(i, name))
            continue;
        if (text != ocr.cend()) {
            // Recognised text can be long: fold it only when a name did not answer.
            if (!textFolded) {
                foldedText = TextFold::utf8(*text);
                textFolded = true;
            }
            if (matcher.inFolded(i, foldedText))
                continue;
        }
        if (labels != subjects.cend() && matcher.inSubjects(i, *labels))
            continue;
        return false;
    }
    return true;
}

} // namespace

const QString Query::kKindChip = QStringLiteral("kind");
const QString Query::kDateChip = QStringLiteral("date");
const QString Query::kSizeChip = QStringLiteral("size");
const QString Query::kSourceChip = QStringLiteral("source");
const QString Query::kDeviceChip = QStringLiteral("device");
const QString Query::kTextChipPrefix = QStringLiteral("text:");

QString Query::deviceName(const QString &device)
{
    if (device == u"iphone")
        return QStringLiteral("iPhone");
    if (device == u"ipad")
        return QStringLiteral("iPad");
    if (device == u"phone")
        return QStringLiteral("a phone");
    if (device == u"camera")
        return QStringLiteral("a camera");
    if (device == u"drone")
        return QStringLiteral("a drone");
    QString name = device;
    bool wordStart = true;
    for (QChar &c : name) {
        if (wordStart && c.isLetter())
            c = c.toUpper();
        wordStart = c == u' ';
    }
    return name;
}

QList<Chip> Query::chips() const
{
    QList<Chip> out;
    if (kindLabel)
        out.append(Chip{kKindChip, *kindLabel, QStringLiteral("square.stack")});
    if (dateLabel)
        out.append(Chip{kDateChip, *dateLabel, QStringLiteral("calendar")});
    if (sizeLabel)
        out.append(Chip{kSizeChip, *sizeLabel, QStringLiteral("scalemass")});
    if (source)
        out.append(Chip{kSourceChip, QStringLiteral("From ") + *source, QStringLiteral("arrow.down.circle")});
    if (device)
        out.append(Chip{kDeviceChip, QStringLiteral("Taken with ") + deviceName(*device),
                        QStringLiteral("camera")});
    for (const QString &term : terms)
        out.append(Chip{kTextChipPrefix + term, u'\u201C' + term + u'\u201D',
                        QStringLiteral("text.magnifyingglass")});
    return out;
}

void Query::drop(const QSet<QString> &ids)
{
    if (ids.contains(kKindChip)) {
        kinds.clear();
        exts.clear();
        screenshots = false;
        kindLabel.reset();
    }
    if (ids.contains(kDateChip)) {
        from.reset();
        to.reset();
        dateLabel.reset();
    }
    if (ids.contains(kSizeChip)) {
        minSize.reset();
        maxSize.reset();
        sizeLabel.reset();
    }
    if (ids.contains(kSourceChip))
        source.reset();
    if (ids.contains(kDeviceChip))
        device.reset();
    terms.removeIf([&](const QString &term) { return ids.contains(kTextChipPrefix + term); });
}

bool Query::matches(const FileItem &item, const OcrTexts &ocr, const SubjectLabels &subjects,
                    bool checkTerms) const
{
    return admits(QueryMatcher(*this), item, ocr, subjects, checkTerms);
}

QList<FileItem> Query::filter(const QList<FileItem> &items, const OcrTexts &ocr,
                              const SubjectLabels &subjects) const
{
    const QueryMatcher matcher(*this);
    QList<FileItem> out;
    for (const FileItem &item : items)
        if (admits(matcher, item, ocr, subjects, true))
            out.append(item);
    return out;
}
