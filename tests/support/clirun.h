#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QStringList>

// One finished run of a command-line program under test.
struct CliRun
{
    int status;
    QByteArray out;
    QByteArray err;
};

// Runs `program` with demonstration dates (setting a file's modification time
// also moves its change time, which otherwise stands for the date it was added)
// and without TOVALO_ROOTS from the caller's environment.
CliRun runCli(const QString &program, const QStringList &arguments);
// The JSON objects of a JSON-lines output, blank lines skipped.
QList<QJsonObject> jsonLines(const QByteArray &out);
