#pragma once

#include <QCommandLineParser>
#include <QStringList>

// Each subcommand takes its own arguments (the subcommand's name first) and
// returns the process exit status: 0 done, 1 done with failures, 2 bad usage.
int runScan(const QStringList &arguments);
int runDups(const QStringList &arguments);
int runCleanup(const QStringList &arguments);
int runOcr(const QStringList &arguments);
int runTrash(const QStringList &arguments);
int runParse(const QStringList &arguments);
int runSearch(const QStringList &arguments);
int runIndex(const QStringList &arguments);
int runQuery(const QStringList &arguments);

// Parses `arguments`; on a bad option prints one line on stderr and returns false.
bool parseOrComplain(QCommandLineParser &parser, const QStringList &arguments);
// Prints `message` as one line on stderr; returns the bad-usage status.
int complain(const QString &message);
void writeOut(const QByteArray &bytes);
