#include "downloadsplan.h"

#include "appsplan.h"
#include "documentsplan.h"
#include "imagewriter.h"
#include "mediaplan.h"
#include "officewriter.h"
#include "pdfwriter.h"
#include "prose.h"
#include "tarwriter.h"
#include "videowriter.h"
#include "zipwriter.h"

#include <QtEndian>

namespace {

constexpr char kOrigin[] = "user.xdg.origin.url";
constexpr char kReferrer[] = "user.xdg.referrer.url";

enum class Content
{
    pdf,
    poster,
    chart,
    photo,
    docx,
    xlsx,
    zip,
    tarball,
    csv,
    video,
    installer
};

struct Download
{
    const char *name; // %1 is replaced by the date, as the service names the file
    const char *origin;
    const char *referrer; // empty when the tool that saved it records none (wget, curl)
    double minDays, maxDays;
    Content content;
    bool inSmall;
};

using enum Content;

constexpr Download kDownloads[] = {
    {"Invoice-2025-031.pdf",
     "https://mail-attachment.googleusercontent.com/attachment/u/0/"
     "?ui=2&ik=4f1c2a9b7e&attid=0.1&disp=safe&zw",
     "https://mail.google.com/mail/u/0/#inbox/FMfcgzGxSbqLwXkTnPdQ", 2, 6, pdf, true},
    {"design-review.pdf",
     "https://files.slack.com/files-pri/T04ABCD12-F06EFGH34/download/design-review.pdf",
     "https://app.slack.com/client/T04ABCD12/C05IJKL56", 8, 15, pdf, true},
    {"tool-2.4.1-linux-x86_64.tar.gz",
     "https://objects.githubusercontent.com/github-production-release-asset-2e65be/48203751/"
     "9d1f0c2e"
     "?response-content-disposition=attachment%3B%20filename%3Dtool-2.4.1-linux-x86_64.tar.gz",
     "https://github.com/example-org/tool/releases/tag/v2.4.1", 30, 60, tarball, true},
    {"WhatsApp Image %1.jpeg",
     "https://mmg.whatsapp.net/v/t62.7118-24/31245678_1029384756_n.enc?ccb=11-4",
     "https://web.whatsapp.com/", 3, 10, photo, true},
    {"Setup-2.3.1.dmg", "https://d1234abcd.cloudfront.net/releases/2.3.1/Setup-2.3.1.dmg",
     "https://files.example.org/downloads/", 120, 160, installer, true},
    {"tool-3.0.1-x86_64.AppImage",
     "https://downloads.example-tools.io/cli/v3/tool-3.0.1-x86_64.AppImage", "", 100, 150,
     installer, true},
    {"contract_signed.pdf",
     "https://mail-attachment.googleusercontent.com/attachment/u/0/"
     "?ui=2&ik=4f1c2a9b7e&attid=0.2&disp=safe&zw",
     "https://mail.google.com/mail/u/0/#inbox/FMfcgzGxSbqMmRtVwQpL", 100, 140, pdf, false},
    {"logo-final.png",
     "https://files.slack.com/files-pri/T04ABCD12-F07QRST89/download/logo-final.png",
     "https://app.slack.com/client/T04ABCD12/C05IJKL56", 120, 200, poster, false},
    {"dataset-main.zip", "https://codeload.github.com/example-org/dataset/zip/refs/heads/main",
     "https://github.com/example-org/dataset", 200, 300, zip, false},
    {"chart.png",
     "https://files.oaiusercontent.com/file-7Qk2Lm9xZp?se=2025-01-01T10%3A00%3A00Z&sp=r",
     "https://chatgpt.com/c/6790a1b2-33c4-8000-9d2e-5f6a7b8c9d0e", 1, 4, chart, false},
    {"summary.docx",
     "https://files.oaiusercontent.com/file-3Hn8Vb2kQw?se=2025-01-01T10%3A00%3A00Z&sp=r",
     "https://chatgpt.com/c/6791b2c3-44d5-8000-8e1f-6a7b8c9d0e1f", 20, 40, docx, false},
    {"Spring sale poster.png",
     "https://export-download.canva.com/DAGb1x2Yz9Q/1/0/spring-sale-poster.png",
     "https://www.canva.com/design/DAGb1x2Yz9Q/edit", 10, 30, poster, false},
    {"Birthday invite.png", "https://export-download.canva.com/DAGc7k4Lm2P/1/0/birthday-invite.png",
     "https://www.canva.com/design/DAGc7k4Lm2P/edit", 140, 170, poster, false},
    {"Shared budget.xlsx",
     "https://drive.usercontent.google.com/download?id=1AbCdEfGhIjKlMnOpQrStUv&export=download",
     "https://drive.google.com/drive/folders/1XyZaBcDeFgHiJkL", 5, 10, xlsx, false},
    {"Team photos.zip",
     "https://drive.usercontent.google.com/download?id=1ZyXwVuTsRqPoNmLkJiHgFe&export=download",
     "https://drive.google.com/drive/folders/1XyZaBcDeFgHiJkL", 95, 130, zip, false},
    {"Zoom.pkg", "https://cdn.zoom.us/prod/5.17.0.28375/Zoom.pkg", "https://zoom.us/download", 200,
     260, installer, false},
    {"Firefox 121.0.dmg",
     "https://download-installer.cdn.mozilla.net/pub/firefox/releases/121.0/mac/en-US/"
     "Firefox%20121.0.dmg",
     "https://www.mozilla.org/en-US/firefox/new/", 300, 400, installer, false},
    {"editor_1.85.1_amd64.deb",
     "https://packages.example-editor.dev/deb/pool/editor_1.85.1_amd64.deb", "", 365, 420,
     installer, false},
    {"Notes-1.4.16.AppImage",
     "https://objects.githubusercontent.com/github-production-release-asset-2e65be/26281212/"
     "77aa01bc",
     "https://github.com/example-notes/releases/releases", 250, 300, installer, false},
    {"Painter-2.10.36.dmg", "https://download.example-mirror.net/painter/v2.10/Painter-2.10.36.dmg",
     "https://www.example-mirror.net/painter/", 500, 600, installer, false},
    {"brochure.pdf", "https://files.example.co.uk/media/brochure-2024.pdf",
     "https://www.example.co.uk/products", 180, 220, pdf, false},
    {"tutorial.mp4",
     "https://rr3---sn-4g5e6nsz.googlevideo.com/videoplayback?expire=1700000000&itag=22",
     "https://www.youtube.com/watch?v=a1B2c3D4e5F", 150, 200, video, false},
    {"order-114-7730.pdf", "https://www.amazon.com/gp/css/summary/print.html?orderID=114-7730-2291",
     "", 60, 80, pdf, false},
    {"weather-export.csv", "https://data.example.net/exports/weather-export.csv", "", 400, 450, csv,
     false},
};

QByteArray noise(Rng &rng, int count)
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

QByteArray arMember(const QByteArray &name, qint64 size, Millis date)
{
    return QString::asprintf("%-16s%-12lld%-6d%-6d%-8s%-10lld`\n", name.constData(), date / 1000, 0,
                             0, "100644", size)
        .toLatin1();
}

struct Installer
{
    QByteArray head, tail;
    qint64 size;
};

// What a disk image, installer package, Debian package or AppImage starts
// (and for disk images, ends) with; the middle is left as a hole.
Installer installerBytes(const QString &name, Millis date, Rng &rng)
{
    Installer out;
    out.size = rng.range(60, 160) * 1048576 + rng.range(0, 1048575);
    const QString ext = name.section(u'.', -1).toLower();
    if (ext == u"dmg") {
        out.head = noise(rng, 4096);
        out.tail = QByteArray(512, '\0');
        out.tail.replace(0, 4, "koly");
        qToBigEndian(quint32(4), out.tail.data() + 4);
        qToBigEndian(quint32(512), out.tail.data() + 8);
    } else if (ext == u"pkg") {
        out.head = QByteArray("xar!\x00\x1c\x00\x01", 8) + QByteArray(20, '\0') + noise(rng, 4068);
    } else if (ext == u"deb") {
        const QByteArray control = noise(rng, 2048);
        out.head = "!<arch>\n" + arMember("debian-binary", 4, date) + "2.0\n" +
                   arMember("control.tar.xz", control.size(), date) + control;
        out.head += arMember("data.tar.xz", out.size - out.head.size() - 60, date) +
                    "\xFD"
                    "7zXZ" +
                    noise(rng, 2042);
    } else {
        // An ELF executable header carrying the AppImage type-2 mark in its padding bytes.
        QByteArray elf(64, '\0');
        elf.replace(0, 11,
                    QByteArray("\x7F"
                               "ELF\x02\x01\x01\x00"
                               "AI\x02",
                               11));
        elf[16] = 2;    // executable
        elf[18] = 0x3E; // x86-64
        elf[20] = 1;    // current version
        elf[52] = 64;   // header size
        out.head = elf + noise(rng, 4032);
    }
    return out;
}

QByteArray make(Rng &r, Content content, const QString &name, Millis date)
{
    const QString title = name.section(u'.', 0, 0);
    switch (content) {
    case Content::pdf:
        return PdfWriter::document(title, Prose::paragraphs(r, Prose::Subject::work, 5), date);
    case Content::poster:
        return ImageWriter::poster(title, QStringLiteral("Saturday 14 June, 7 pm"), r);
    case Content::chart:
        return ImageWriter::chart(QStringLiteral("Monthly active users"),
                                  {"Jan", "Feb", "Mar", "Apr", "May", "Jun"}, r);
    case Content::photo:
        return ImageWriter::photo(r, 1280, 960);
    case Content::docx:
        return OfficeWriter::docx(title, Prose::paragraphs(r, Prose::Subject::work, 4), date);
    case Content::xlsx: {
        QList<QStringList> rows = {{"Month", "Planned", "Spent"}};
        for (const char *m : {"January", "February", "March", "April"})
            rows.append({QString::fromLatin1(m), QString::number(r.range(500, 3000)),
                         QString::number(r.range(400, 3200))});
        return OfficeWriter::xlsx(QStringLiteral("Budget"), rows, date);
    }
    case Content::zip: {
        ZipWriter zip;
        for (int i = 1; i <= 3; ++i)
            zip.add(QStringLiteral("%1/photo-%2.jpg").arg(title).arg(i),
                    ImageWriter::photo(r, 640, 480), date);
        zip.add(title + QStringLiteral("/README.txt"),
                Prose::sentence(r, Prose::Subject::project).toUtf8(), date, true);
        return zip.finish();
    }
    case Content::tarball: {
        TarWriter tar;
        const QString top = name.section(u'.', 0, -3);
        tar.addFolder(top, date);
        tar.add(top + QStringLiteral("/README.md"), "# tool\n\nRun ./tool --help.\n", date);
        tar.add(top + QStringLiteral("/tool"), "#!/bin/sh\necho tool 2.4.1\n", date);
        tar.add(top + QStringLiteral("/LICENSE"), "MIT License\n", date);
        return TarWriter::gzip(tar.finish(), date);
    }
    case Content::csv: {
        QByteArray out = "date,min_c,max_c\n";
        for (int i = 0; i < 365; ++i)
            out += QStringLiteral("%1,%2,%3\n")
                       .arg(PlanContext::format(date - Millis(365 - i) * 86400000,
                                                QStringLiteral("yyyy-MM-dd")))
                       .arg(r.range(-5, 12))
                       .arg(r.range(12, 32))
                       .toLatin1();
        return out;
    }
    case Content::video:
    case Content::installer:
        break;
    }
    return {};
}

} // namespace

DownloadsPlan::DownloadsPlan(PlanContext &ctx) : m_ctx(ctx), m_rng(ctx.stream(0xD0D0)) {}

void DownloadsPlan::write()
{
    sourced();
    unsourced();
}

void DownloadsPlan::sourced()
{
    TreeWriter &t = m_ctx.tree();
    Rng &r = m_rng;
    for (const Download &d : kDownloads) {
        if (m_ctx.small() && !d.inSmall)
            continue;
        const Millis date = m_ctx.ago(r, d.minDays, d.maxDays);
        QString name = QString::fromUtf8(d.name);
        if (name.contains(u"%1"))
            name = name.arg(PlanContext::format(date, QStringLiteral("yyyy-MM-dd 'at' HH.mm.ss")));
        const QString path = QStringLiteral("Downloads/") + name;
        const Content content = d.content;
        if (content == Content::installer) {
            const Installer i = installerBytes(name, date, r);
            t.sparse(path, i.head, i.size, date, i.tail);
        } else if (content == Content::video) {
            const qint64 size = 157286400 + r.range(0, 999);
            t.sparse(path, VideoWriter::head(QStringLiteral("mp4"), size, 1500, date, name, r),
                     size, date);
        } else {
            t.write(path, make(r, content, name, date), date);
        }
        t.setAttribute(path, kOrigin, d.origin);
        if (d.referrer[0] != '\0')
            t.setAttribute(path, kReferrer, d.referrer);
    }
}

void DownloadsPlan::unsourced()
{
    TreeWriter &t = m_ctx.tree();
    Rng &r = m_rng;
    // The second download of a file saved before gets a number, as browsers name it.
    t.copy(DocumentsPlan::reportPath(), QStringLiteral("Downloads/report (1).pdf"),
           m_ctx.ago(r, 40, 48));
    Millis d = m_ctx.ago(r, 95, 110);
    t.write(QStringLiteral("Downloads/notes-from-call.txt"),
            (Prose::paragraphs(r, Prose::Subject::work, 2).join(u"\n\n") + u'\n').toUtf8(), d);
    if (m_ctx.small())
        return;
    const Millis clip = m_ctx.ago(r, 2, 3);
    t.copy(MediaPlan::clipPath(),
           QStringLiteral("Downloads/WhatsApp Video %1.mp4")
               .arg(PlanContext::format(clip, QStringLiteral("yyyy-MM-dd 'at' HH.mm.ss"))),
           clip);
    d = m_ctx.ago(r, 280, 320);
    t.write(QStringLiteral("Downloads/scan0001.pdf"),
            PdfWriter::document(QStringLiteral("Scanned document"),
                                Prose::paragraphs(r, Prose::Subject::personal, 3), d),
            d);
    d = m_ctx.ago(r, 400, 500);
    t.write(QStringLiteral("Downloads/Archive.zip"),
            make(r, Content::zip, QStringLiteral("Archive.zip"), d), d);
    d = m_ctx.ago(r, 0.2, 1);
    t.write(QStringLiteral("Downloads/unnamed.png"),
            ImageWriter::chart(QStringLiteral("Sign-ups"), {"Mon", "Tue", "Wed"}, r), d);
    for (int i = 0; i < 3; ++i) {
        d = m_ctx.ago(r, 200 + i * 30, 220 + i * 30);
        t.write(QStringLiteral("Downloads/Telegram Desktop/photo_%1.jpg")
                    .arg(PlanContext::format(d, QStringLiteral("yyyy-MM-dd_HH-mm-ss"))),
                ImageWriter::photo(r, 960, 720), d);
    }
    // An application left where it was downloaded: listed as an app, never as a forgotten download.
    AppsPlan::bundle(m_ctx, r, QStringLiteral("Downloads"), QStringLiteral("Sketchpad"),
                     m_ctx.ago(r, 380, 420));
}
