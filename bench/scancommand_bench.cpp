// `tovalo-cli scan` as a command on the copy of a real tree (about 53,000
// files), warm, against `find -printf '%s %T@ %C@ %p\n'` (which, like the
// scan, stats every file), runs in alternation: the summary and the full
// JSON listing, each with find's time from the same rounds and the ratio.
#include "benchsupport.h"

#include <QCoreApplication>
#include <QFile>

#include <cstdio>
#include <cstdlib>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    constexpr int kRuns = 9;
    const QString tree = QFile::decodeName(Bench::realTree());
    const QString cli = QStringLiteral(TOVALO_CLI);
    const QStringList scan{QStringLiteral("scan"), QStringLiteral("--roots"), tree, QStringLiteral("--apps"), tree};
    const QStringList find{tree, QStringLiteral("-printf"), QStringLiteral("%s %T@ %C@ %p\\n")};
    auto peer = [&] { Bench::runQuiet(QStringLiteral("find"), find); };
    Bench::runQuiet(cli, scan); // warms the cache for both
    const auto [summary, findA] = Bench::pairedMedians(
        kRuns, [&] { Bench::runQuiet(cli, scan + QStringList{QStringLiteral("--summary")}); }, peer);
    const auto [listing, findB] = Bench::pairedMedians(kRuns, [&] { Bench::runQuiet(cli, scan); }, peer);
    const auto [start, unused] = Bench::pairedMedians(
        kRuns, [&] { Bench::runQuiet(cli, {QStringLiteral("parse"), QStringLiteral("hello")}); }, [] {});
    double load[1] = {0};
    ::getloadavg(load, 1);
    std::printf("scan as a command, %s, warm; medians of %d runs in alternation; load average %.1f\n",
                qPrintable(tree), kRuns, load[0]);
    std::printf("  scan --summary   %7.0f ms   find -printf %7.0f ms   ratio %.2f (goal <= 0.7)\n", summary * 1e3,
                findA * 1e3, summary / findA);
    std::printf("  scan (JSON)      %7.0f ms   find -printf %7.0f ms   ratio %.2f (goal <= 1.5)\n", listing * 1e3,
                findB * 1e3, listing / findB);
    std::printf("  of which the process start (tovalo-cli parse hello) %.0f ms\n", start * 1e3);
    (void)unused;
    return 0;
}
