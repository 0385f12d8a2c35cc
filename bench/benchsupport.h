#pragma once

#include <QByteArray>
#include <QStringList>

#include <functional>
#include <utility>
#include <vector>

// Small helpers the peer-comparison benchmarks share.
namespace Bench {

// Seconds one call of `work` takes, median of `runs` runs.
double medianSeconds(int runs, const std::function<void()> &work);
// Runs a command with its output thrown away; false when it could not run or failed.
bool runQuiet(const QString &program, const QStringList &arguments);
bool haveProgram(const QString &program);
// Resident set size of this process, in bytes.
qint64 residentBytes();
// A folder under the system's temporary folder kept between runs, so large
// trees are written once.
QByteArray cacheFolder(const QByteArray &name);
// A real tree of about 53,000 files and 2.2 GB: copies of /usr/share/doc,
// /usr/share/man, /usr/share/icons, /usr/include and
// /usr/lib/x86_64-linux-gnu under one cache folder, made on first use.
QByteArray realTree();
// Medians of `ours` and `peer` run in alternation, so both meet the same load.
std::pair<double, double> pairedMedians(int runs, const std::function<void()> &ours,
                                        const std::function<void()> &peer);

} // namespace Bench
