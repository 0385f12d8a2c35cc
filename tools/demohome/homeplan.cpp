#include "homeplan.h"

#include "appsplan.h"
#include "documentsplan.h"
#include "downloadsplan.h"
#include "imagewriter.h"
#include "mediaplan.h"
#include "officewriter.h"
#include "pdfwriter.h"
#include "prose.h"

HomePlan::HomePlan(PlanContext &ctx) : m_ctx(ctx) {}

QString HomePlan::markerName()
{
    return QStringLiteral(".tovalo-demo");
}

void HomePlan::write()
{
    // Documents first: Desktop and Downloads hold copies of its files.
    DocumentsPlan(m_ctx).write();
    MediaPlan(m_ctx).write();
    DownloadsPlan(m_ctx).write();
    AppsPlan(m_ctx).write();
    desktop();
    TreeWriter &t = m_ctx.tree();
    for (const char *folder :
         {"Desktop", "Documents", "Downloads", "Pictures", "Videos", "Music", "Applications"})
        t.folder(QString::fromLatin1(folder));
    t.write(
        markerName(),
        "This folder was made by tovalo-demohome. Running it again with --out here replaces it.\n",
        m_ctx.now());
    t.dateFolders(m_ctx.now());
}

void HomePlan::desktop()
{
    TreeWriter &t = m_ctx.tree();
    Rng r = m_ctx.stream(0xDE5C);
    Millis d = m_ctx.ago(r, 0.1, 3);
    t.write(QStringLiteral("Desktop/") + MediaPlan::screenshotName(0, d),
            ImageWriter::screenshot(QStringLiteral("Billing - Invoice #1234"),
                                    {QStringLiteral("Invoice #1234"),
                                     QStringLiteral("Paid on ") +
                                         PlanContext::format(d, QStringLiteral("d MMMM yyyy"))},
                                    r),
            d);
    // A copy someone made by duplicating the file in a file manager.
    t.copy(DocumentsPlan::reportPath(), QStringLiteral("Desktop/report copy.pdf"),
           m_ctx.ago(r, 30, 38));
    d = m_ctx.ago(r, 0.5, 2);
    t.write(QStringLiteral("Desktop/todo.txt"),
            "- renew passport\n- send invoice #1235\n- back up photos\n", d);
    t.write(QStringLiteral("Desktop/.DS_Store"),
            QByteArray("\0\0\0\1Bud1", 8) + QByteArray(1024, '\0'), d);
    if (m_ctx.small())
        return;
    d = m_ctx.ago(r, 90, 150);
    t.write(QStringLiteral("Desktop/") + MediaPlan::screenshotName(1, d),
            ImageWriter::screenshot(QStringLiteral("Terminal"),
                                    {QStringLiteral("$ df -h"), QStringLiteral("/dev/sda1  92%")},
                                    r),
            d);
    d = m_ctx.ago(r, 1, 4);
    t.write(QStringLiteral("Desktop/notes.md"),
            (QStringLiteral("# Notes\n\n") +
             Prose::paragraphs(r, Prose::Subject::work, 3).join(u"\n\n") + u'\n')
                .toUtf8(),
            d);
    d = m_ctx.ago(r, 6, 9);
    t.write(QStringLiteral("Desktop/Meeting agenda.odt"),
            OfficeWriter::odt(QStringLiteral("Meeting agenda"),
                              Prose::paragraphs(r, Prose::Subject::work, 3), d),
            d);
    d = m_ctx.ago(r, 12, 20);
    t.write(QStringLiteral("Desktop/🎉 party invite.png"),
            ImageWriter::poster(QStringLiteral("Party!"),
                                QStringLiteral("Friday at eight, bring snacks"), r),
            d);
    d = m_ctx.ago(r, 25, 35);
    t.write(
        QStringLiteral("Desktop/Sketches/floor plan.png"),
        ImageWriter::chart(QStringLiteral("Room sizes"), {"Hall", "Kitchen", "Living", "Bed"}, r),
        d);
    t.write(QStringLiteral("Desktop/.directory"), "[Desktop Entry]\nIcon=user-desktop\n", d);
}
