#pragma once

#include "treewriter.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// Minimal office documents that word processors and spreadsheets open: the
// few parts each format requires, with real text and cells.
class OfficeWriter final
{
public:
    // A word-processing document: a heading, then one paragraph per entry.
    static QByteArray docx(const QString &title, const QStringList &paragraphs, Millis modified);
    static QByteArray odt(const QString &title, const QStringList &paragraphs, Millis modified);
    // A one-sheet workbook; cells that read as numbers are stored as numbers.
    static QByteArray xlsx(const QString &sheet, const QList<QStringList> &rows, Millis modified);
};
