#include "pdfwriter.h"

#include <QBuffer>
#include <QDateTime>
#include <QFont>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QTimeZone>

namespace {

QFont font(int points, bool bold)
{
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPointSize(points);
    f.setBold(bold);
    return f;
}

// The writer stamps the wall-clock time as the creation date; putting the
// document's own date in its place (same length, so no offset moves) makes
// the output depend only on the input.
void stampDate(QByteArray &pdf, Millis created)
{
    const QByteArray key = "/CreationDate (D:";
    const qsizetype at = pdf.indexOf(key);
    if (at < 0)
        return;
    const QByteArray digits = QDateTime::fromMSecsSinceEpoch(created, QTimeZone::utc())
                                  .toString(QStringLiteral("yyyyMMddHHmmss"))
                                  .toLatin1();
    const qsizetype start = at + key.size();
    if (start + digits.size() <= pdf.size())
        pdf.replace(start, digits.size(), digits);
}

} // namespace

QByteArray PdfWriter::document(const QString &title, const QStringList &paragraphs, Millis created)
{
    QByteArray out;
    {
        QBuffer buffer(&out);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setResolution(300);
        writer.setPageMargins(QMarginsF(20, 20, 20, 20), QPageLayout::Millimeter);
        writer.setTitle(title);
        writer.setCreator(QStringLiteral("Sam Rivera"));
        QPainter p(&writer);
        const QRect area = p.viewport();
        const int width = area.width();
        p.setFont(font(20, true));
        QRect titleBox = p.boundingRect(QRect(0, 0, width, area.height()), Qt::TextWordWrap, title);
        p.drawText(QRect(0, 0, width, titleBox.height()), Qt::TextWordWrap, title);
        int y = titleBox.height() + 120;
        p.setFont(font(11, false));
        for (const QString &para : paragraphs) {
            const QRect box =
                p.boundingRect(QRect(0, 0, width, area.height()), Qt::TextWordWrap, para);
            if (y + box.height() > area.height()) {
                writer.newPage();
                y = 0;
            }
            p.drawText(QRect(0, y, width, box.height()), Qt::TextWordWrap, para);
            y += box.height() + 60;
        }
    }
    stampDate(out, created);
    return out;
}
