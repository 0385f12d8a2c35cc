#include "officewriter.h"

#include "zipwriter.h"

#include <QDateTime>
#include <QTimeZone>

namespace {

const char kXmlHead[] = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n";

QString esc(const QString &s)
{
    return s.toHtmlEscaped();
}

QString isoDate(Millis modified)
{
    return QDateTime::fromMSecsSinceEpoch(modified, QTimeZone::utc()).toString(Qt::ISODate);
}

QByteArray xml(const QString &body)
{
    return QByteArray(kXmlHead) + body.toUtf8();
}

QString columnName(int column)
{
    QString name;
    for (int c = column + 1; c > 0; c = (c - 1) / 26)
        name.prepend(QChar(u'A' + (c - 1) % 26));
    return name;
}

QString coreProperties(const QString &title, Millis modified)
{
    return QStringLiteral("<cp:coreProperties "
                          "xmlns:cp=\"http://schemas.openxmlformats.org/package/2006/metadata/"
                          "core-properties\" "
                          "xmlns:dc=\"http://purl.org/dc/elements/1.1/\" "
                          "xmlns:dcterms=\"http://purl.org/dc/terms/\" "
                          "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\">"
                          "<dc:title>%1</dc:title><dc:creator>Sam Rivera</dc:creator>"
                          "<dcterms:created xsi:type=\"dcterms:W3CDTF\">%2</dcterms:created>"
                          "<dcterms:modified xsi:type=\"dcterms:W3CDTF\">%2</dcterms:modified>"
                          "</cp:coreProperties>")
        .arg(esc(title), isoDate(modified));
}

QString contentTypes(const QString &mainPart, const QString &mainType, const QString &extra)
{
    return QStringLiteral(
               "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
               "<Default Extension=\"rels\" "
               "ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
               "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
               "<Override PartName=\"%1\" ContentType=\"%2\"/>%3"
               "<Override PartName=\"/docProps/core.xml\" "
               "ContentType=\"application/vnd.openxmlformats-package.core-properties+xml\"/>"
               "</Types>")
        .arg(mainPart, mainType, extra);
}

QString packageRelations(const QString &mainPart)
{
    return QStringLiteral("<Relationships "
                          "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
                          "<Relationship Id=\"rId1\" "
                          "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/"
                          "relationships/officeDocument\" "
                          "Target=\"%1\"/>"
                          "<Relationship Id=\"rId2\" "
                          "Type=\"http://schemas.openxmlformats.org/package/2006/relationships/"
                          "metadata/core-properties\" "
                          "Target=\"docProps/core.xml\"/>"
                          "</Relationships>")
        .arg(mainPart);
}

} // namespace

QByteArray OfficeWriter::docx(const QString &title, const QStringList &paragraphs, Millis modified)
{
    QString body =
        QStringLiteral(
            "<w:p><w:r><w:rPr><w:b/><w:sz w:val=\"40\"/></w:rPr><w:t>%1</w:t></w:r></w:p>")
            .arg(esc(title));
    for (const QString &p : paragraphs)
        body += QStringLiteral("<w:p><w:r><w:t xml:space=\"preserve\">%1</w:t></w:r></w:p>")
                    .arg(esc(p));
    const QString document =
        QStringLiteral(
            "<w:document xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\">"
            "<w:body>%1<w:sectPr><w:pgSz w:w=\"11906\" "
            "w:h=\"16838\"/></w:sectPr></w:body></w:document>")
            .arg(body);
    ZipWriter zip;
    zip.add("[Content_Types].xml",
            xml(contentTypes(
                "/word/document.xml",
                "application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml",
                {})),
            modified, true);
    zip.add("_rels/.rels", xml(packageRelations("word/document.xml")), modified, true);
    zip.add("docProps/core.xml", xml(coreProperties(title, modified)), modified, true);
    zip.add("word/document.xml", xml(document), modified, true);
    return zip.finish();
}

QByteArray OfficeWriter::xlsx(const QString &sheet, const QList<QStringList> &rows, Millis modified)
{
    QString data;
    for (int r = 0; r < rows.size(); ++r) {
        data += QStringLiteral("<row r=\"%1\">").arg(r + 1);
        for (int c = 0; c < rows[r].size(); ++c) {
            const QString ref = columnName(c) + QString::number(r + 1);
            bool number = false;
            rows[r][c].toDouble(&number);
            if (number)
                data += QStringLiteral("<c r=\"%1\"><v>%2</v></c>").arg(ref, rows[r][c]);
            else
                data += QStringLiteral("<c r=\"%1\" t=\"inlineStr\"><is><t>%2</t></is></c>")
                            .arg(ref, esc(rows[r][c]));
        }
        data += QStringLiteral("</row>");
    }
    const QString worksheet =
        QStringLiteral(
            "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
            "<sheetData>%1</sheetData></worksheet>")
            .arg(data);
    const QString workbook =
        QStringLiteral(
            "<workbook xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
            "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">"
            "<sheets><sheet name=\"%1\" sheetId=\"1\" r:id=\"rId1\"/></sheets></workbook>")
            .arg(esc(sheet));
    const QString workbookRelations = QStringLiteral(
        "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
        "<Relationship Id=\"rId1\" "
        "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet\" "
        "Target=\"worksheets/sheet1.xml\"/></Relationships>");
    ZipWriter zip;
    zip.add("[Content_Types].xml",
            xml(contentTypes(
                "/xl/workbook.xml",
                "application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml",
                "<Override PartName=\"/xl/worksheets/sheet1.xml\" "
                "ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml."
                "worksheet+xml\"/>")),
            modified, true);
    zip.add("_rels/.rels", xml(packageRelations("xl/workbook.xml")), modified, true);
    zip.add("docProps/core.xml", xml(coreProperties(sheet, modified)), modified, true);
    zip.add("xl/workbook.xml", xml(workbook), modified, true);
    zip.add("xl/_rels/workbook.xml.rels", xml(workbookRelations), modified, true);
    zip.add("xl/worksheets/sheet1.xml", xml(worksheet), modified, true);
    return zip.finish();
}

QByteArray OfficeWriter::odt(const QString &title, const QStringList &paragraphs, Millis modified)
{
    QString body = QStringLiteral("<text:h text:outline-level=\"1\">%1</text:h>").arg(esc(title));
    for (const QString &p : paragraphs)
        body += QStringLiteral("<text:p>%1</text:p>").arg(esc(p));
    const QString content =
        QStringLiteral(
            "<office:document-content "
            "xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
            "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\" office:version=\"1.2\">"
            "<office:body><office:text>%1</office:text></office:body></office:document-content>")
            .arg(body);
    const QString meta =
        QStringLiteral(
            "<office:document-meta "
            "xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
            "xmlns:meta=\"urn:oasis:names:tc:opendocument:xmlns:meta:1.0\" "
            "xmlns:dc=\"http://purl.org/dc/elements/1.1/\" office:version=\"1.2\"><office:meta>"
            "<dc:title>%1</dc:title><meta:creation-date>%2</meta:creation-date>"
            "</office:meta></office:document-meta>")
            .arg(esc(title), isoDate(modified));
    const QString manifest = QStringLiteral(
        "<manifest:manifest xmlns:manifest=\"urn:oasis:names:tc:opendocument:xmlns:manifest:1.0\" "
        "manifest:version=\"1.2\">"
        "<manifest:file-entry manifest:full-path=\"/\" "
        "manifest:media-type=\"application/vnd.oasis.opendocument.text\"/>"
        "<manifest:file-entry manifest:full-path=\"content.xml\" manifest:media-type=\"text/xml\"/>"
        "<manifest:file-entry manifest:full-path=\"meta.xml\" manifest:media-type=\"text/xml\"/>"
        "</manifest:manifest>");
    ZipWriter zip;
    // Readers find the type from this first, uncompressed entry.
    zip.add("mimetype", "application/vnd.oasis.opendocument.text", modified, false);
    zip.add("META-INF/manifest.xml", xml(manifest), modified, true);
    zip.add("meta.xml", xml(meta), modified, true);
    zip.add("content.xml", xml(content), modified, true);
    return zip.finish();
}
