#pragma once

#include "chip.h"
#include "model/fileitem.h"
#include "model/kind.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

#include <optional>
#include <set>

// Text recognised in images and the subjects seen in them, by file path.
using OcrTexts = QHash<QByteArray, QString>;
using SubjectLabels = QHash<QByteArray, QStringList>;

// The structured reading of a search text. Three groups of fields are each
// one filter: the kind filter (kinds, exts, screenshots; any one admits a
// file), the date range and the size range. Absent values and empty sets ask
// for nothing. Terms keep the order they were found in, each once.
struct Query final
{
    std::set<Kind> kinds;
    std::set<QString> exts; // lower case, no dot
    bool screenshots = false;
    std::optional<QString> kindLabel;
    std::optional<Millis> from; // inclusive
    std::optional<Millis> to;   // exclusive
    std::optional<QString> dateLabel;
    std::optional<qint64> minSize; // inclusive
    std::optional<qint64> maxSize; // inclusive
    std::optional<QString> sizeLabel;
    std::optional<QString> source; // spelled as in the catalog's source list
    std::optional<QString> device; // lower-case device word
    QStringList terms;

    static const QString kKindChip;
    static const QString kDateChip;
    static const QString kSizeChip;
    static const QString kSourceChip;
    static const QString kDeviceChip;
    static const QString kTextChipPrefix;

    bool hasKindFilter() const { return !kinds.empty() || !exts.empty() || screenshots; }

    // The recognised filters, in the fixed order kind, date, size, source,
    // device, then one per term.
    QList<Chip> chips() const;
    // Removes the filter of every chip id in `ids`; unknown ids change nothing.
    void drop(const QSet<QString> &ids);

    // Whether `item` passes every filter, and every term when `checkTerms`.
    // A term is found in the name or recognised text (case and diacritics
    // ignored) or among the subject labels.
    bool matches(const FileItem &item, const OcrTexts &ocr, const SubjectLabels &subjects,
                 bool checkTerms) const;
    // The items that match with their terms, in their order.
    QList<FileItem> filter(const QList<FileItem> &items, const OcrTexts &ocr,
                           const SubjectLabels &subjects) const;

    // How a device word reads after "Taken with ": "iPhone", "a drone", "Canon".
    static QString deviceName(const QString &device);

    friend bool operator==(const Query &, const Query &) = default;
};
