#include "launchoptions.h"

LaunchOptions LaunchOptions::parse(const QStringList &arguments)
{
    LaunchOptions o;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString &a = arguments.at(i);
        if (a == u"-h" || a == u"--help") {
            o.m_action = Action::help;
            return o;
        }
        if (a == u"--version") {
            o.m_action = Action::version;
            return o;
        }
        if (a == u"--quick-search") {
            o.m_quickSearch = true;
            continue;
        }
        o.m_action = Action::bad;
        o.m_problem = a.startsWith(u'-') ? QStringLiteral("tovalo: unknown option: %1 (tovalo --help lists them)").arg(a)
                                         : QStringLiteral("tovalo: unexpected argument: %1 (tovalo takes no files)").arg(a);
        return o;
    }
    return o;
}

LaunchOptions LaunchOptions::early(int argc, char **argv)
{
    LaunchOptions o;
    for (int i = 1; i < argc; ++i) {
        const QByteArrayView a(argv[i]);
        if (a == "-h" || a == "--help")
            o.m_action = Action::help;
        else if (a == "--version")
            o.m_action = Action::version;
        else
            continue;
        return o;
    }
    return o;
}

QString LaunchOptions::helpText()
{
    return QStringLiteral(
        "usage: tovalo [--quick-search]\n"
        "Find and tidy the files in your home folders.\n"
        "\n"
        "  --quick-search  open the Quick Search panel, in the running Tovalo when there is one\n"
        "  -h, --help      print this help and exit\n"
        "  --version       print the version and exit\n"
        "\n"
        "A second launch brings the running window forward. The TOVALO_* launch variables\n"
        "and tovalo-cli, the command-line companion, are described in tovalo(1).\n");
}

QString LaunchOptions::versionText()
{
    return QStringLiteral("tovalo " TOVALO_VERSION "\n");
}
