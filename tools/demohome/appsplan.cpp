#include "appsplan.h"

#include "imagewriter.h"

namespace {

struct AppRow
{
    const char *folder;
    const char *name;
    double minDays, maxDays;
    bool inSmall;
};

constexpr AppRow kApps[] = {
    {"Applications", "Paint", 200, 400, true},
    {"Applications/Utilities", "Clock", 30, 90, true},
    // Two plain folders down: deeper than the scanner looks for bundles.
    {"Applications/Games/Arcade", "Pinball", 300, 500, true},
    {"Applications", "Notes", 10, 40, false},
    {"Applications", "Calculator", 400, 700, false},
    {"Applications", "Photo Editor", 250, 320, false},
    {"Applications/Utilities", "Terminal", 60, 120, false},
    {"Applications/Utilities", "Disk Usage", 500, 800, false},
    {"Applications/Games", "Chess", 200, 260, false},
};

QString infoPlist(const QString &name, const QString &version)
{
    QString id = name.toLower();
    id.remove(u' ');
    return QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                          "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
                          "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
                          "<plist version=\"1.0\">\n<dict>\n"
                          "\t<key>CFBundleName</key>\n\t<string>%1</string>\n"
                          "\t<key>CFBundleIdentifier</key>\n\t<string>org.example.%2</string>\n"
                          "\t<key>CFBundleShortVersionString</key>\n\t<string>%3</string>\n"
                          "\t<key>CFBundleExecutable</key>\n\t<string>%1</string>\n"
                          "\t<key>CFBundleIconFile</key>\n\t<string>AppIcon</string>\n"
                          "\t<key>CFBundlePackageType</key>\n\t<string>APPL</string>\n"
                          "</dict>\n</plist>\n")
        .arg(name.toHtmlEscaped(), id, version);
}

} // namespace

AppsPlan::AppsPlan(PlanContext &ctx) : m_ctx(ctx) {}

void AppsPlan::bundle(PlanContext &ctx, Rng &rng, const QString &folder, const QString &name,
                      Millis date)
{
    const QString contents = folder + u'/' + name + QStringLiteral(".app/Contents");
    const QString version =
        QStringLiteral("%1.%2.%3").arg(rng.range(1, 9)).arg(rng.range(0, 20)).arg(rng.range(0, 9));
    TreeWriter &tree = ctx.tree();
    tree.write(contents + QStringLiteral("/Info.plist"), infoPlist(name, version).toUtf8(), date);
    tree.write(contents + QStringLiteral("/PkgInfo"), "APPL????", date);
    const QString launcher = contents + QStringLiteral("/MacOS/") + name;
    tree.write(launcher,
               QStringLiteral("#!/bin/sh\n# %1 %2\nexec printf '%s\\n' \"%1 %2\"\n")
                   .arg(name, version)
                   .toUtf8(),
               date);
    tree.makeExecutable(launcher);
    tree.write(contents + QStringLiteral("/Resources/AppIcon.png"),
               ImageWriter::icon(name.left(1), rng), date);
}

void AppsPlan::write()
{
    Rng rng = m_ctx.stream(0xA995);
    for (const AppRow &row : kApps) {
        if (m_ctx.small() && !row.inSmall)
            continue;
        bundle(m_ctx, rng, QString::fromUtf8(row.folder), QString::fromUtf8(row.name),
               m_ctx.ago(rng, row.minDays, row.maxDays));
    }
    if (!m_ctx.small()) {
        // A plain file among the bundles is not an application and never listed.
        m_ctx.tree().write(QStringLiteral("Applications/README.txt"),
                           "Applications installed for this user only.\n",
                           m_ctx.ago(rng, 600, 700));
    }
}
