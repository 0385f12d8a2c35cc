// tovalo-demohome: writes a realistic, deterministic home folder for
// demonstrations and tests.

#include "homeplan.h"
#include "plancontext.h"
#include "treewriter.h"

#include <cstdio>
#include <ctime>
#include <optional>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHashFunctions>
#include <QLocale>
#include <QTimeZone>

namespace {

constexpr char kUsage[] = "usage: tovalo-demohome --out DIR [--seed N] [--now ISO8601] [--small]";

struct Options
{
    QString out;
    quint64 seed = 7;
    Millis now = 0;
    bool small = false;
};

int refuse(const QString &message)
{
    std::fprintf(stderr, "tovalo-demohome: %s\n", qPrintable(message));
    return 2;
}

// A time without an offset is read as UTC, so the home does not depend on the machine's zone.
std::optional<Millis> parseNow(const QString &text)
{
    QDateTime t = QDateTime::fromString(text, Qt::ISODateWithMs);
    if (!t.isValid())
        t = QDateTime::fromString(text, Qt::ISODate);
    if (!t.isValid())
        return std::nullopt;
    if (t.timeSpec() == Qt::LocalTime)
        t = QDateTime(t.date(), t.time(), QTimeZone::utc());
    return t.toMSecsSinceEpoch();
}

std::optional<QString> parse(const QStringList &args, Options &o)
{
    bool sawNow = false;
    for (qsizetype i = 1; i < args.size(); ++i) {
        const QString &a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == u"--small") {
            o.small = true;
        } else if (a == u"--out" || a == u"--seed" || a == u"--now") {
            if (!hasValue)
                return a + QStringLiteral(" needs a value");
            const QString v = args[++i];
            if (a == u"--out") {
                o.out = v;
            } else if (a == u"--seed") {
                bool ok = false;
                o.seed = v.toULongLong(&ok);
                if (!ok)
                    return QStringLiteral("--seed wants a whole number, not \"%1\"").arg(v);
            } else {
                const auto now = parseNow(v);
                if (!now)
                    return QStringLiteral("--now wants an ISO 8601 time such as "
                                          "2025-03-14T10:00:00Z, not \"%1\"")
                        .arg(v);
                o.now = *now;
                sawNow = true;
            }
        } else {
            return QStringLiteral("unknown argument \"%1\"; %2")
                .arg(a, QString::fromLatin1(kUsage));
        }
    }
    if (o.out.isEmpty())
        return QString::fromLatin1(kUsage);
    if (!sawNow)
        o.now = QDateTime::currentMSecsSinceEpoch();
    return std::nullopt;
}

// Makes `dir` ready to receive the home, or says why it cannot be.
std::optional<QString> prepare(const QString &dir)
{
    const QFileInfo info(dir);
    if (info.exists() && !info.isDir())
        return QStringLiteral("%1 exists and is not a folder").arg(dir);
    QDir d(dir);
    if (info.exists() &&
        !d.isEmpty(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)) {
        if (!QFileInfo(d.filePath(HomePlan::markerName())).isFile())
            return QStringLiteral(
                       "%1 is not empty and is not an earlier demonstration home (no %2 in it); "
                       "choose an empty or new folder")
                .arg(dir, HomePlan::markerName());
        if (!d.removeRecursively())
            return QStringLiteral("cannot remove the earlier demonstration home in %1").arg(dir);
    }
    if (!QDir().mkpath(dir))
        return QStringLiteral("cannot make the folder %1").arg(dir);
    return std::nullopt;
}

QtMessageHandler previousHandler = nullptr;

// Headless sessions often have no runtime folder; the platform's notice about
// it says nothing about the home being written, so it is left out.
void quietHandler(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type == QtWarningMsg && message.startsWith(u"QStandardPaths: XDG_RUNTIME_DIR not set"))
        return;
    if (previousHandler)
        previousHandler(type, context, message);
}

} // namespace

int main(int argc, char **argv)
{
    // The PDF writer lays out its fonts in hash order and stamps dates in the
    // local zone; a fixed seed and UTC make every run, anywhere, write the same bytes.
    QHashSeed::setDeterministicGlobalSeed();
    qputenv("TZ", "UTC");
    ::tzset();
    QElapsedTimer clock;
    clock.start();
    // Arguments and the target folder are checked before the GUI platform
    // starts, so that a refusal is one line and costs nothing.
    QStringList args;
    for (int i = 0; i < argc; ++i)
        args.append(QString::fromLocal8Bit(argv[i]));
    Options options;
    if (const auto problem = parse(args, options))
        return refuse(*problem);
    const QString out = QDir::cleanPath(QDir(options.out).absolutePath());
    if (const auto problem = prepare(out))
        return refuse(*problem);

    // Drawing text and pages needs a GUI platform, but never a screen.
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
        qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    previousHandler = qInstallMessageHandler(quietHandler);
    QGuiApplication app(argc, argv);

    TreeWriter tree(out);
    try {
        PlanContext ctx(tree, options.seed, options.now, options.small);
        HomePlan(ctx).write();
    } catch (const WriteError &e) {
        std::fprintf(stderr, "tovalo-demohome: %s\n", e.what());
        return 1;
    }
    const QLocale c = QLocale::c();
    std::printf("tovalo-demohome: wrote %d files, %s (%s on disk) into %s in %.2f s\n",
                tree.files(),
                qPrintable(c.formattedDataSize(tree.bytes(), 1, QLocale::DataSizeSIFormat)),
                qPrintable(c.formattedDataSize(tree.diskBytes(), 1, QLocale::DataSizeSIFormat)),
                qPrintable(out), double(clock.elapsed()) / 1000.0);
    return 0;
}
