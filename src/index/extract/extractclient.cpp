#include "extractclient.h"

#include "extractprotocol.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <vector>

extern char **environ;

namespace {

// A helper that dies on this many files in a row is broken itself, not the files.
constexpr int kMaxCrashesInARow = 25;

qint64 residentBytes(pid_t pid)
{
    QFile statm(QStringLiteral("/proc/%1/statm").arg(pid));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields.at(1).toLongLong() * ::sysconf(_SC_PAGESIZE) : 0;
}

bool isExecutable(const QString &file)
{
    const QFileInfo info(file);
    return info.isFile() && info.isExecutable();
}

} // namespace

ExtractClient::ExtractClient(QStringList command, int timeoutMs)
    : m_command(std::move(command)), m_timeoutMs(timeoutMs)
{
}

ExtractClient::~ExtractClient()
{
    stop();
}

QStringList ExtractClient::helperCommand()
{
    const QString fromEnv = qEnvironmentVariable("TOVALO_EXTRACT");
    if (!fromEnv.isEmpty())
        return isExecutable(fromEnv) ? QStringList{fromEnv} : QStringList{};
    QStringList candidates;
    if (QCoreApplication::instance())
        candidates.append(QCoreApplication::applicationDirPath() + QStringLiteral("/tovalo-extract"));
    candidates.append(QStringLiteral(TOVALO_EXTRACT_INSTALLED));
    candidates.append(QStringLiteral(TOVALO_EXTRACT_BUILT));
    for (const QString &c : candidates)
        if (isExecutable(c))
            return {c};
    return {};
}

bool ExtractClient::start()
{
    if (m_command.isEmpty() || m_crashesInARow >= kMaxCrashesInARow)
        return false;
    int fds[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, fds) != 0)
        return false;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], 0);
    posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
    std::vector<QByteArray> args;
    for (const QString &a : m_command)
        args.push_back(QFile::encodeName(a));
    std::vector<char *> argv;
    for (QByteArray &a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = -1;
    const int rc = ::posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(fds[1]);
    if (rc != 0) {
        ::close(fds[0]);
        m_command.clear(); // it will not start next time either
        return false;
    }
    m_pid = pid;
    m_fd = fds[0];
    ++m_starts;
    return true;
}

void ExtractClient::stop()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    if (m_pid > 0) {
        ::kill(m_pid, SIGKILL);
        while (::waitpid(m_pid, nullptr, 0) < 0 && errno == EINTR) {
        }
    }
    m_pid = -1;
}

ExtractClient::Outcome ExtractClient::extract(const QByteArray &path, TextFamily family, const QString &lowerExt)
{
    if (m_pid < 0 && !start())
        return {Status::unavailable, {}};
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(m_timeoutMs);
    std::optional<ExtractResult> result;
    if (ExtractProtocol::writeRequest(m_fd, {family, lowerExt, path}))
        result = ExtractProtocol::readResult(m_fd, deadline);
    if (!result) {
        stop();
        ++m_crashesInARow;
        return {Status::failed, {}};
    }
    m_crashesInARow = 0;
    if (residentBytes(m_pid) > kMaxHelperRssBytes)
        stop();
    return {Status::ok, std::move(*result)};
}
