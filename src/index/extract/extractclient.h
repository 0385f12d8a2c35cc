#pragma once

#include "textextractor.h"

#include <QByteArray>
#include <QStringList>

#include <sys/types.h>

// Runs the risky readers in a helper process (`tovalo-extract`) that lives
// across many files: a crash or a hang there ends only that file's reading.
// A file the helper does not answer within the time limit has the helper
// killed; the next file starts a fresh one. Used from one thread.
class ExtractClient final
{
public:
    static constexpr int kTimeoutMs = 20000;
    // A helper grown past this is replaced between files, so one huge
    // document does not keep its memory for the rest of the pass.
    static constexpr qint64 kMaxHelperRssBytes = 300ll << 20;

    enum class Status {
        ok,          // the reader ran; `result.ok` says whether it could read the file
        failed,      // the helper crashed or hung on the file
        unavailable, // no helper could be started
    };
    struct Outcome
    {
        Status status;
        ExtractResult result;
    };

    // `command` is the helper and its arguments; empty means none is available.
    explicit ExtractClient(QStringList command = helperCommand(), int timeoutMs = kTimeoutMs);
    ~ExtractClient();
    ExtractClient(const ExtractClient &) = delete;
    ExtractClient &operator=(const ExtractClient &) = delete;

    Outcome extract(const QByteArray &path, TextFamily family, const QString &lowerExt);
    // Helpers started so far (the first one counts).
    int starts() const { return m_starts; }

    // TOVALO_EXTRACT, else tovalo-extract beside this program, installed, or in the build tree.
    static QStringList helperCommand();

private:
    bool start();
    void stop();

    QStringList m_command;
    int m_timeoutMs;
    pid_t m_pid = -1;
    int m_fd = -1;
    int m_starts = 0;
    int m_crashesInARow = 0;
};
