#include "summary.h"

#include "fmt.h"

#include <QLocale>

QString summary(const QList<FileItem> &items, const QString &noun)
{
    qint64 total = 0;
    for (const FileItem &item : items)
        total += item.size();
    const qsizetype n = items.size();
    QString out = QLocale().toString(qint64(n));
    out += u' ';
    out += noun;
    if (n != 1)
        out += u's';
    out += QStringLiteral(" · ");
    out += Fmt::size(total);
    return out;
}
