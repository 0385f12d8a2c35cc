#pragma once

#include <QCommandLineParser>
#include <QString>
#include <QStringList>

#include <optional>

// Parses the arguments of a command that takes search text: the words left
// after the options, joined by single spaces, so the text may be quoted or
// not. On bad usage prints one line on stderr and returns none.
std::optional<QString> parseQueryText(QCommandLineParser &parser, const QStringList &arguments);
