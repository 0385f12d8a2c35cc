#include "clirun.h"

#include <gtest/gtest.h>

namespace {

CliRun cli(const QStringList &arguments)
{
    return runCli(QStringLiteral(TOVALO_CLI), arguments);
}

const QStringList kCommands = {"scan", "dups", "cleanup", "ocr", "trash", "parse", "search", "index", "query"};

} // namespace

TEST(CliHelp, ListsEveryCommandOnStandardOutput)
{
    for (const QStringList &args : {QStringList{"--help"}, QStringList{"-h"}, QStringList{"help"}}) {
        const CliRun run = cli(args);
        EXPECT_EQ(run.status, 0) << args.join(' ').toStdString();
        EXPECT_TRUE(run.err.isEmpty());
        EXPECT_TRUE(run.out.startsWith("usage: tovalo-cli COMMAND"));
        for (const QString &command : kCommands)
            EXPECT_TRUE(run.out.contains("  " + command.toUtf8() + " ")) << command.toStdString();
    }
}

TEST(CliHelp, HelpForOneCommandIsThatCommandsOptions)
{
    struct Case
    {
        const char *command;
        const char *option; // one the command takes
    };
    const Case cases[] = {{"scan", "--summary"}, {"dups", "--roots"},   {"cleanup", "--apps"},
                          {"parse", "--now"},    {"index", "--rebuild"}, {"query", "--limit"},
                          {"trash", "PATH"},     {"ocr", "FILE"},        {"search", "TEXT"}};
    for (const Case &c : cases) {
        const CliRun run = cli({"help", c.command});
        EXPECT_EQ(run.status, 0) << c.command << run.err.toStdString();
        EXPECT_TRUE(run.out.contains(c.option)) << c.command << "\n" << run.out.toStdString();
    }
    // Nothing is done: help for trash moves no file named like an option.
    const CliRun unknown = cli({"help", "frobnicate"});
    EXPECT_EQ(unknown.status, 2);
    EXPECT_TRUE(unknown.out.isEmpty());
    EXPECT_EQ(unknown.err.count('\n'), 1);
}

TEST(CliHelp, VersionAndMistakes)
{
    const CliRun version = cli({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "tovalo-cli " TOVALO_VERSION_TEXT "\n");

    for (const QStringList &args : {QStringList{}, QStringList{"--frobnicate"}, QStringList{"frobnicate"}}) {
        const CliRun run = cli(args);
        EXPECT_EQ(run.status, 2) << args.join(' ').toStdString();
        EXPECT_TRUE(run.out.isEmpty());
        EXPECT_TRUE(run.err.contains("usage: tovalo-cli"));
    }
}
