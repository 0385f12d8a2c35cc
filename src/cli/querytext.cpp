#include "querytext.h"

#include "commands.h"

#include <cstdio>

std::optional<QString> parseQueryText(QCommandLineParser &parser, const QStringList &arguments)
{
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("TEXT"), QStringLiteral("The search text."),
                                 QStringLiteral("TEXT..."));
    if (!parser.parse(arguments)) {
        complain(QStringLiteral("tovalo-cli: %1").arg(parser.errorText()));
        return std::nullopt;
    }
    if (parser.isSet(QStringLiteral("help"))) {
        std::fputs(qPrintable(parser.helpText()), stdout);
        std::exit(0);
    }
    const QStringList words = parser.positionalArguments();
    if (words.isEmpty()) {
        complain(QStringLiteral("tovalo-cli: %1: missing search text").arg(arguments.value(0)));
        return std::nullopt;
    }
    return words.join(u' ');
}
