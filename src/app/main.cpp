#include "parsemode.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Tovalo"));
    QCoreApplication::setOrganizationName(QStringLiteral("Tovalo"));
    if (ParseMode::asked())
        return ParseMode::run();
    std::fputs("tovalo: set TOVALO_PARSE=\"query|query\" to parse queries; tovalo-cli scan, parse and search "
               "read and search the catalog\n",
               stderr);
    return 0;
}
