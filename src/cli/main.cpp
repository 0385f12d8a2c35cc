#include "commands.h"

#include <QCoreApplication>

#include <cstdio>
#include <malloc.h>

namespace {

struct Subcommand
{
    const char *name;
    int (*run)(const QStringList &);
    const char *summary;
};

constexpr Subcommand kSubcommands[] = {
    {"scan", runScan, "read the catalog; one JSON line per record, or --summary"},
    {"dups", runDups, "find identical files; one JSON line per group, most wasted first"},
    {"cleanup", runCleanup, "sort the catalog into clean-up cards; one JSON line per card, then the total"},
    {"ocr", runOcr, "read images for their text and subjects; one JSON line per image"},
    {"trash", runTrash, "move files to the Trash; the outcome, then one JSON line per moved file"},
    {"parse", runParse, "read search text into a query; one JSON object"},
    {"search", runSearch, "search the catalog and beyond; one JSON line per file, then the counts"},
    {"index", runIndex, "bring the home folder's index up to date, or --rebuild it; then its --status"},
    {"query", runQuery, "run a metadata-index predicate; the paths found, newest first, one per line"},
};

// The command list; on standard output when asked for, on standard error after a mistake.
void usage(FILE *to)
{
    std::fputs("usage: tovalo-cli COMMAND [OPTIONS]\n"
               "       tovalo-cli help COMMAND\n"
               "       tovalo-cli --help | --version\n\n"
               "Commands:\n",
               to);
    for (const Subcommand &s : kSubcommands)
        std::fprintf(to, "  %-8s %s\n", s.name, s.summary);
    std::fputs("\nResults are JSON lines on standard output; only trash changes files.\n", to);
}

const Subcommand *commandNamed(const QString &name)
{
    for (const Subcommand &s : kSubcommands)
        if (name == QLatin1String(s.name))
            return &s;
    return nullptr;
}

} // namespace

bool parseOrComplain(QCommandLineParser &parser, const QStringList &arguments)
{
    parser.addHelpOption();
    if (parser.parse(arguments)) {
        if (parser.isSet(QStringLiteral("help"))) {
            std::fputs(qPrintable(parser.helpText()), stdout);
            std::exit(0);
        }
        if (parser.positionalArguments().isEmpty())
            return true;
        complain(QStringLiteral("tovalo-cli: unexpected argument: %1")
                     .arg(parser.positionalArguments().first()));
        return false;
    }
    complain(QStringLiteral("tovalo-cli: %1").arg(parser.errorText()));
    return false;
}

int complain(const QString &message)
{
    std::fprintf(stderr, "%s\n", qPrintable(message));
    return 2;
}

void writeOut(const QByteArray &bytes)
{
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
}

int main(int argc, char **argv)
{
    // Standard output carries the command's results; the scan's log line goes to stderr as is.
    if (!qEnvironmentVariableIsSet("QT_MESSAGE_PATTERN"))
        qSetMessagePattern(QStringLiteral("%{message}"));
    // A scan makes a hundred thousand small allocations on its walking
    // threads; growing their heaps in large steps spares thousands of
    // mprotect calls (untouched pages cost nothing).
    ::mallopt(M_TOP_PAD, 16 << 20);
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Tovalo"));
    QCoreApplication::setOrganizationName(QStringLiteral("Tovalo"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TOVALO_VERSION));
    const QStringList args = QCoreApplication::arguments();
    if (args.size() < 2) {
        usage(stderr);
        return 2;
    }
    const QString &first = args.at(1);
    if (first == u"--help" || first == u"-h" || (first == u"help" && args.size() == 2)) {
        usage(stdout);
        return 0;
    }
    if (first == u"--version") {
        std::printf("tovalo-cli %s\n", TOVALO_VERSION);
        return 0;
    }
    if (first == u"help") {
        if (const Subcommand *s = commandNamed(args.at(2)))
            return s->run({args.at(2), QStringLiteral("--help")});
        return complain(QStringLiteral("tovalo-cli: no such command: %1 (tovalo-cli --help lists them)").arg(args.at(2)));
    }
    if (const Subcommand *s = commandNamed(first))
        return s->run(args.mid(1));
    std::fprintf(stderr, "tovalo-cli: unknown command: %s\n", qPrintable(first));
    usage(stderr);
    return 2;
}
