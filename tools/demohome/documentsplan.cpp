#include "documentsplan.h"

#include "imagewriter.h"
#include "officewriter.h"
#include "pdfwriter.h"
#include "prose.h"
#include "tarwriter.h"
#include "zipwriter.h"

namespace {

using Subject = Prose::Subject;

QString md(const QString &title, const QStringList &paragraphs)
{
    QString out = QStringLiteral("# ") + title + QStringLiteral("\n\n");
    for (const QString &p : paragraphs)
        out += QStringLiteral("- ") + p + u'\n';
    return out;
}

QString plist(const QString &name)
{
    return QStringLiteral(
               "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n<dict>\n"
               "\t<key>fileFormatVersion</key>\n\t<string>13.2</string>\n"
               "\t<key>documentName</key>\n\t<string>%1</string>\n</dict>\n</plist>\n")
        .arg(name.toHtmlEscaped());
}

QByteArray randomBytes(Rng &rng, int count)
{
    QByteArray out;
    out.reserve(count + 8);
    while (out.size() < count) {
        const quint64 v = rng.next();
        out.append(reinterpret_cast<const char *>(&v), qsizetype(sizeof v));
    }
    out.truncate(count);
    return out;
}

// Weather-station rows of fixed width, so files with as many rows have the
// same length whatever their values.
QByteArray stationLog(Rng &values, Rng *laterValues, int divergeRow, int rows, Millis start)
{
    QByteArray out = "time,temperature_c,pressure_hpa,humidity_pct\n";
    double temp = 8.0 + 6.0 * values.unit();
    double pressure = 1005.0 + 15.0 * values.unit();
    for (int i = 0; i < rows; ++i) {
        Rng &r = (laterValues && i >= divergeRow) ? *laterValues : values;
        temp = std::clamp(temp + (r.unit() - 0.5) * 0.6, -30.0, 45.0);
        pressure = std::clamp(pressure + (r.unit() - 0.5) * 0.8, 960.0, 1040.0);
        const int humidity = int(r.range(35, 99));
        const QString time =
            PlanContext::format(start + Millis(i) * 600000, QStringLiteral("yyyy-MM-ddTHH:mm:ssZ"));
        out += QString::asprintf("%s,%+06.1f,%06.1f,%03d\n", qPrintable(time), temp, pressure,
                                 humidity)
                   .toLatin1();
    }
    return out;
}

QByteArray salesExport(Rng &rng, Millis month, int rows)
{
    QByteArray out = "date,order,region,amount_eur\n";
    const char *regions[] = {"north", "south", "east ", "west "};
    for (int i = 0; i < rows; ++i) {
        const QString day =
            PlanContext::format(month + Millis(i % 28) * 86400000, QStringLiteral("yyyy-MM-dd"));
        out += QString::asprintf("%s,A-%06d,%s,%08.2f\n", qPrintable(day),
                                 int(rng.range(100000, 999999)), regions[rng.index(4)],
                                 5.0 + rng.unit() * 900.0)
                   .toLatin1();
    }
    return out;
}

} // namespace

DocumentsPlan::DocumentsPlan(PlanContext &ctx) : m_ctx(ctx), m_rng(ctx.stream(0xD0C5)) {}

QString DocumentsPlan::reportPath()
{
    return QStringLiteral("Documents/Work/report.pdf");
}

void DocumentsPlan::write()
{
    work();
    personal();
    courses();
    data();
    archives();
    packages();
    project();
    hidden();
}

void DocumentsPlan::work()
{
    TreeWriter &t = m_ctx.tree();
    Rng &r = m_rng;
    const Millis reportDate = m_ctx.ago(r, 50, 60);
    t.write(reportPath(),
            PdfWriter::document(QStringLiteral("Quarterly report"),
                                Prose::paragraphs(r, Subject::work, 8), reportDate),
            reportDate);
    Millis d = m_ctx.ago(r, 3, 12);
    t.write(QStringLiteral("Documents/Work/Project plan.docx"),
            OfficeWriter::docx(QStringLiteral("Project plan"),
                               Prose::paragraphs(r, Subject::work, 5), d),
            d);
    d = m_ctx.ago(r, 10, 30);
    QList<QStringList> budget = {{"Item", "Q1", "Q2", "Q3", "Q4"}};
    for (const char *item : {"Salaries", "Rent", "Software", "Travel", "Hardware", "Training"}) {
        QStringList row{QString::fromLatin1(item)};
        for (int q = 0; q < 4; ++q)
            row.append(QString::number(r.range(1000, 90000)));
        budget.append(row);
    }
    t.write(QStringLiteral("Documents/Work/Budget 2025.xlsx"),
            OfficeWriter::xlsx(QStringLiteral("Budget"), budget, d), d);
    if (m_ctx.small())
        return;

    for (int i = 0; i < 6; ++i) {
        d = m_ctx.ago(r, 7 + i * 40, 30 + i * 40);
        const QString day = PlanContext::format(d, QStringLiteral("yyyy-MM-dd"));
        t.write(QStringLiteral("Documents/Work/Meeting notes/%1 team meeting.md").arg(day),
                md(QStringLiteral("Team meeting ") + day, Prose::paragraphs(r, Subject::work, 4))
                    .toUtf8(),
                d);
    }
    QByteArray clients = "name,city,since,contact\n";
    for (const char *c : {"Northwind Foods,Leeds,2019,ana@northwind.example",
                          "Blue Harbor Ltd,Bristol,2021,ops@blueharbor.example",
                          "Kestrel Labs,Dublin,2018,hello@kestrel.example",
                          "Orchard & Co,Cork,2023,team@orchard.example"})
        clients += QByteArray(c) + '\n';
    d = m_ctx.ago(r, 100, 200);
    t.write(QStringLiteral("Documents/Work/clients.csv"), clients, d);
    d = m_ctx.ago(r, 60, 90);
    t.write(QStringLiteral("Documents/Work/Q3 review slides.pdf"),
            PdfWriter::document(QStringLiteral("Q3 review"),
                                Prose::paragraphs(r, Subject::work, 14), d),
            d);
    for (int n = 1001; n <= 1005; ++n) {
        d = m_ctx.ago(r, 30.0 * (n - 1000), 30.0 * (n - 1000) + 20);
        const QString title = QStringLiteral("Invoice #%1").arg(n);
        QStringList lines = {QStringLiteral("Bill to: Northwind Foods, 12 Mill Road, Leeds"),
                             QStringLiteral("Date: ") +
                                 PlanContext::format(d, QStringLiteral("d MMMM yyyy"))};
        double total = 0;
        for (int i = 0; i < 4; ++i) {
            const double amount = double(r.range(80, 1200));
            total += amount;
            lines.append(
                QStringLiteral("Consulting, week %1: EUR %2").arg(i + 1).arg(amount, 0, 'f', 2));
        }
        lines.append(QStringLiteral("Total due: EUR %1").arg(total, 0, 'f', 2));
        t.write(QStringLiteral("Documents/Work/Invoices/Invoice-%1.pdf").arg(n),
                PdfWriter::document(title, lines, d), d);
    }
}

void DocumentsPlan::personal()
{
    TreeWriter &t = m_ctx.tree();
    Rng &r = m_rng;
    Millis d = m_ctx.ago(r, 15, 40);
    t.write(QStringLiteral("Documents/Personal/Letter to landlord.odt"),
            OfficeWriter::odt(QStringLiteral("Letter to the landlord"),
                              Prose::paragraphs(r, Subject::personal, 3), d),
            d);
    d = m_ctx.ago(r, 1, 5);
    // No extension: a record of kind "other".
    t.write(QStringLiteral("Documents/notes"), "call the bank\nbook dentist\nbuy stamps\n", d);
    if (m_ctx.small())
        return;
    struct Doc
    {
        const char *path;
        const char *title;
        double minDays, maxDays;
    };
    const Doc pdfs[] = {
        {"Documents/Personal/Lease agreement.pdf", "Lease agreement", 500, 560},
        {"Documents/Personal/Tax return 2023.pdf", "Tax return 2023", 380, 420},
        {"Documents/Personal/Health/Vaccination record.pdf", "Vaccination record", 700, 900},
        {"Documents/Personal/Car insurance.pdf", "Car insurance policy", 200, 240},
        {"Documents/Personal/Café menu.pdf", "Café menu", 90, 120},
    };
    for (const Doc &doc : pdfs) {
        d = m_ctx.ago(r, doc.minDays, doc.maxDays);
        t.write(QString::fromUtf8(doc.path),
                PdfWriter::document(QString::fromUtf8(doc.title),
                                    Prose::paragraphs(r, Subject::personal, 5), d),
                d);
    }
    d = m_ctx.ago(r, 300, 400);
    t.write(QStringLiteral("Documents/Personal/Recipes/Lasagne.txt"),
            (QStringLiteral("Lasagne\n\n") +
             Prose::paragraphs(r, Subject::personal, 3).join(u"\n\n") + u'\n')
                .toUtf8(),
            d);
    d = m_ctx.ago(r, 40, 80);
    t.write(QStringLiteral("Documents/Personal/Recipes/Banana bread.md"),
            md(QStringLiteral("Banana bread"), Prose::paragraphs(r, Subject::personal, 4)).toUtf8(),
            d);
    d = m_ctx.ago(r, 150, 250);
    t.write(
        QStringLiteral("Documents/Personal/Résumé.docx"),
        OfficeWriter::docx(QStringLiteral("Sam Rivera"), Prose::paragraphs(r, Subject::work, 4), d),
        d);
}

void DocumentsPlan::courses()
{
    if (m_ctx.small())
        return;
    TreeWriter &t = m_ctx.tree();
    Rng &r = m_rng;
    for (int i = 1; i <= 4; ++i) {
        const Millis d = m_ctx.ago(r, 420 - i * 7, 425 - i * 7);
        t.write(QStringLiteral("Documents/Courses/Statistics/Lecture %1.pdf")
                    .arg(i, 2, 10, QChar(u'0')),
                PdfWriter::document(QStringLiteral("Statistics, lecture %1").arg(i),
                                    Prose::paragraphs(r, Subject::course, 10), d),
                d);
    }
    Millis d = m_ctx.ago(r, 390, 400);
    t.write(QStringLiteral("Documents/Courses/Statistics/Homework 3.odt"),
            OfficeWriter::odt(QStringLiteral("Homework 3"),
                              Prose::paragraphs(r, Subject::course, 4), d),
            d);
    QByteArray grades = "student,homework,exam\n";
    for (int i = 0; i < 40; ++i)
        grades += QStringLiteral("s%1,%2,%3\n")
                      .arg(1000 + i)
                      .arg(r.range(40, 100))
                      .arg(r.range(30, 100))
                      .toLatin1();
    d = m_ctx.ago(r, 380, 390);
    t.write(QStringLiteral("Documents/Courses/Statistics/grades.csv"), grades, d);
}

void DocumentsPlan::data()
{
    TreeWriter &t = m_ctx.tree();
    Rng &r = m_rng;
    // Two logs that agree for more than their first 64 KiB and differ after it,
    // and two exports of one length that differ from the first row: none is a copy.
    constexpr int kRowLength = 39; // see stationLog
    const int divergeRow = 65536 / kRowLength + 40;
    const int rows = divergeRow + (m_ctx.small() ? 200 : 900);
    const Millis start = m_ctx.daysAgo(120);
    Rng first = r.fork(1);
    Rng second = first;
    Rng fixes = r.fork(2);
    Millis d = m_ctx.ago(r, 100, 110);
    t.write(QStringLiteral("Documents/Data/weather-station.csv"),
            stationLog(first, nullptr, 0, rows, start), d);
    d = m_ctx.ago(r, 20, 30);
    t.write(QStringLiteral("Documents/Data/weather-station-fixed.csv"),
            stationLog(second, &fixes, divergeRow, rows, start), d);
    const int exportRows = m_ctx.small() ? 300 : 2000;
    Rng january = r.fork(3);
    Rng february = r.fork(4);
    d = m_ctx.ago(r, 300, 330);
    t.write(QStringLiteral("Documents/Data/sales-export-01.csv"),
            salesExport(january, m_ctx.daysAgo(340), exportRows), d);
    d = m_ctx.ago(r, 270, 300);
    t.write(QStringLiteral("Documents/Data/sales-export-02.csv"),
            salesExport(february, m_ctx.daysAgo(310), exportRows), d);
}

void DocumentsPlan::archives()
{
    TreeWriter &t = m_ctx.tree();
    Rng &r = m_rng;
    Millis d = m_ctx.ago(r, 700, 900);
    ZipWriter photos;
    for (int i = 1; i <= 3; ++i)
        photos.add(QStringLiteral("photos-2022/DSC0%1.jpg").arg(400 + i),
                   ImageWriter::photo(r, 640, 480), d);
    t.write(QStringLiteral("Documents/Archives/photos-2022.zip"), photos.finish(), d);
    if (m_ctx.small())
        return;
    d = m_ctx.ago(r, 400, 500);
    TarWriter site;
    site.addFolder(QStringLiteral("site"), d);
    site.add(QStringLiteral("site/index.html"),
             "<!doctype html>\n<title>Sam Rivera</title>\n<h1>Hello</h1>\n", d);
    site.add(QStringLiteral("site/style.css"), "body { font-family: sans-serif; margin: 2rem; }\n",
             d);
    site.add(QStringLiteral("site/README.md"),
             md(QStringLiteral("Site"), Prose::paragraphs(r, Subject::project, 3)).toUtf8(), d);
    t.write(QStringLiteral("Documents/Archives/site-backup.tar.gz"),
            TarWriter::gzip(site.finish(), d), d);
    d = m_ctx.ago(r, 800, 1000);
    TarWriter notes;
    for (int i = 1; i <= 4; ++i)
        notes.add(QStringLiteral("notes/note-%1.txt").arg(i),
                  Prose::paragraphs(r, Subject::personal, 2).join(u"\n\n").toUtf8(), d);
    t.write(QStringLiteral("Documents/Archives/old-notes.tar"), notes.finish(), d);
}

void DocumentsPlan::packages()
{
    TreeWriter &t = m_ctx.tree();
    Rng &r = m_rng;
    // A spreadsheet saved as a folder: one document to the user, never entered.
    Millis d = m_ctx.ago(r, 20, 40);
    ZipWriter index;
    index.add(QStringLiteral("Index/Document.iwa"), randomBytes(r, 6000), d);
    index.add(QStringLiteral("Index/Metadata.iwa"), randomBytes(r, 900), d);
    t.write(QStringLiteral("Documents/Budget.numbers/Index.zip"), index.finish(), d);
    t.write(QStringLiteral("Documents/Budget.numbers/Metadata/Properties.plist"),
            plist(QStringLiteral("Budget")).toUtf8(), d);
    t.write(QStringLiteral("Documents/Budget.numbers/Metadata/DocumentIdentifier"),
            QByteArray::number(r.next(), 16).toUpper(), d);
    t.write(
        QStringLiteral("Documents/Budget.numbers/Data/chart-1.png"),
        ImageWriter::chart(QStringLiteral("Spending by month"), {"Jan", "Feb", "Mar", "Apr"}, r),
        d);
    if (m_ctx.small())
        return;
    d = m_ctx.ago(r, 130, 160);
    ZipWriter slides;
    slides.add(QStringLiteral("Index/Document.iwa"), randomBytes(r, 12000), d);
    slides.add(QStringLiteral("Index/Slide-1.iwa"), randomBytes(r, 3000), d);
    t.write(QStringLiteral("Documents/Work/Pitch.key/Index.zip"), slides.finish(), d);
    t.write(QStringLiteral("Documents/Work/Pitch.key/Metadata/Properties.plist"),
            plist(QStringLiteral("Pitch")).toUtf8(), d);
    t.write(QStringLiteral("Documents/Work/Pitch.key/Data/slide-1.png"),
            ImageWriter::slide(QStringLiteral("Why now"),
                               {"Customers want one place for files", "Search in plain words"}, r),
            d);
}

void DocumentsPlan::project()
{
    TreeWriter &t = m_ctx.tree();
    Rng &r = m_rng;
    const QString site = QStringLiteral("Documents/Projects/site/");
    Millis d = m_ctx.ago(r, 5, 20);
    t.write(site + QStringLiteral("index.html"),
            "<!doctype html>\n<html lang=\"en\">\n<head><meta charset=\"utf-8\"><title>Sam "
            "Rivera</title>"
            "<link rel=\"stylesheet\" href=\"style.css\"></head>\n<body><h1>Sam "
            "Rivera</h1><p>Designer and writer.</p>"
            "</body>\n</html>\n",
            d);
    t.write(site + QStringLiteral("package.json"),
            "{\n  \"name\": \"site\",\n  \"version\": \"1.0.0\",\n  \"scripts\": { \"start\": "
            "\"serve .\" },\n"
            "  \"dependencies\": { \"left-pad\": \"^1.3.0\" }\n}\n",
            d);
    // A dependency folder: thousands of files in real life, never worth listing.
    const QString modules = site + QStringLiteral("node_modules/");
    t.write(modules + QStringLiteral("left-pad/index.js"),
            "module.exports = function leftPad(s, n, c) { s = String(s); c = c || ' ';\n"
            "  while (s.length < n) s = c + s; return s; };\n",
            d);
    t.write(modules + QStringLiteral("left-pad/package.json"),
            "{ \"name\": \"left-pad\", \"version\": \"1.3.0\" }\n", d);
    if (m_ctx.small())
        return;
    t.write(site + QStringLiteral("style.css"),
            "body { font-family: sans-serif; margin: 2rem; color: #222; }\n", d);
    t.write(site + QStringLiteral("README.md"),
            md(QStringLiteral("Site"), Prose::paragraphs(r, Subject::project, 4)).toUtf8(), d);
    const char *packages[] = {"serve", "chalk",  "mime",  "ms",
                              "debug", "lodash", "react", "scheduler"};
    for (const char *pkg : packages) {
        const QString dir = modules + QString::fromLatin1(pkg) + u'/';
        t.write(dir + QStringLiteral("package.json"),
                QStringLiteral("{ \"name\": \"%1\", \"version\": \"%2.%3.0\" }\n")
                    .arg(pkg)
                    .arg(r.range(1, 9))
                    .arg(r.range(0, 30))
                    .toUtf8(),
                d);
        t.write(dir + QStringLiteral("index.js"),
                QStringLiteral("'use strict';\nmodule.exports = require('./lib/%1');\n")
                    .arg(pkg)
                    .toUtf8(),
                d);
        t.write(dir + QStringLiteral("lib/") + QString::fromLatin1(pkg) + QStringLiteral(".js"),
                QByteArray("// ") + pkg + "\n" + randomBytes(r, 1500).toHex() + "\n", d);
    }
    t.write(modules + QStringLiteral("serve/node_modules/ms/index.js"),
            "module.exports = (v) => v * 1000;\n", d);
    t.write(modules + QStringLiteral(".package-lock.json"), "{ \"lockfileVersion\": 3 }\n", d);

    const QString scripts = QStringLiteral("Documents/Projects/scripts/");
    d = m_ctx.ago(r, 60, 120);
    t.write(scripts + QStringLiteral("tidy.py"),
            "import pathlib\n\nfor p in pathlib.Path('.').glob('*.tmp'):\n    p.unlink()\n", d);
    t.write(scripts + QStringLiteral("__pycache__/tidy.cpython-311.pyc"), randomBytes(r, 400), d);
    t.write(site + QStringLiteral(".git/HEAD"), "ref: refs/heads/main\n", d);
    t.write(site + QStringLiteral(".git/config"),
            "[core]\n\trepositoryformatversion = 0\n\tbare = false\n", d);
}

void DocumentsPlan::hidden()
{
    TreeWriter &t = m_ctx.tree();
    Rng &r = m_rng;
    const Millis d = m_ctx.ago(r, 1, 30);
    t.write(QStringLiteral("Documents/.DS_Store"),
            QByteArray("\0\0\0\1Bud1", 8) + randomBytes(r, 2000), d);
    t.write(QStringLiteral("Documents/.cache/thumbnails/normal/3f2a9c.png"),
            ImageWriter::icon(QStringLiteral("T"), r), d);
    t.write(QStringLiteral("Documents/.~lock.Project plan.docx#"),
            "Sam Rivera,sam,laptop,10.03.2025 09:12,file:///home/sam/.config/libreoffice/4;\n", d);
}
