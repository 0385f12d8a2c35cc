#pragma once

#include "model/fileitem.h"

#include <optional>
#include <QByteArray>
#include <QList>
#include <QLocale>
#include <QString>
#include <QStringList>
#include <QTimeZone>

// What the inspector says about a file, as plain text: its detail rows, the
// subjects line and the dates, so the wording can be checked without widgets.
class InspectorDetails final
{
public:
    struct Row
    {
        QString key;
        QString value;
        friend bool operator==(const Row &, const Row &) = default;
    };

    static constexpr int kMaxSubjects = 8;

    // The file the inspector describes: the first of `visible` at `anchor`;
    // none without an anchor or when it is not among them.
    static std::optional<FileItem> fileFor(const QList<FileItem> &visible,
                                           const std::optional<QByteArray> &anchor);
    // Kind, Size, Where, then From, Added, Modified, Last opened and iCloud
    // where they apply. `home` is the folder written as "~".
    static QList<Row> rows(const FileItem &item, Millis now, const QString &home,
                           const QLocale &locale = QLocale(), const QTimeZone &zone = QTimeZone::systemTimeZone());
    // "Mar 4, 2025 at 9:12 AM": the locale's date with an abbreviated month and no weekday, and its short time.
    static QString date(Millis when, const QLocale &locale = QLocale(),
                        const QTimeZone &zone = QTimeZone::systemTimeZone());
    // The first eight labels joined with " · "; empty for none.
    static QString subjects(const QStringList &labels);
};
