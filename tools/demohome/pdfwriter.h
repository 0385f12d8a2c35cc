#pragma once

#include "treewriter.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

// A4 PDF documents with real, selectable text, written with QPdfWriter.
class PdfWriter final
{
public:
    // A title, then the paragraphs, flowing onto more pages as needed. The
    // document's creation date is `created`, so the same input gives the same bytes.
    static QByteArray document(const QString &title, const QStringList &paragraphs, Millis created);
};
