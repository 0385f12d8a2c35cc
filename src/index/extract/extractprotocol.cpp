#include "extractprotocol.h"

#include <cerrno>
#include <cstring>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// Longest field accepted from the other side: the text limit with room to spare.
constexpr quint32 kMaxField = 64u << 20;

bool writeAll(int fd, const char *data, size_t size)
{
    while (size > 0) {
        // MSG_NOSIGNAL: a helper that died must not take this process with a SIGPIPE.
        const ssize_t n = ::send(fd, data, size, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        size -= size_t(n);
    }
    return true;
}

bool readAll(int fd, char *data, size_t size, ExtractProtocol::Deadline deadline)
{
    while (size > 0) {
        if (deadline) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                *deadline - std::chrono::steady_clock::now());
            if (left.count() <= 0)
                return false;
            pollfd p{fd, POLLIN, 0};
            const int r = ::poll(&p, 1, int(left.count()));
            if (r < 0 && errno == EINTR)
                continue;
            if (r <= 0)
                return false;
        }
        const ssize_t n = ::read(fd, data, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        size -= size_t(n);
    }
    return true;
}

void putField(QByteArray &out, const QByteArray &field)
{
    const quint32 size = quint32(field.size());
    out.append(reinterpret_cast<const char *>(&size), sizeof size);
    out.append(field);
}

std::optional<QByteArray> getField(int fd, ExtractProtocol::Deadline deadline)
{
    quint32 size = 0;
    if (!readAll(fd, reinterpret_cast<char *>(&size), sizeof size, deadline) || size > kMaxField)
        return std::nullopt;
    QByteArray field(qsizetype(size), Qt::Uninitialized);
    if (size > 0 && !readAll(fd, field.data(), size, deadline))
        return std::nullopt;
    return field;
}

} // namespace

namespace ExtractProtocol {

bool writeRequest(int fd, const Request &request)
{
    QByteArray out;
    out.append(char(request.family));
    putField(out, request.lowerExt.toUtf8());
    putField(out, request.path);
    return writeAll(fd, out.constData(), size_t(out.size()));
}

std::optional<Request> readRequest(int fd)
{
    char family = 0;
    if (!readAll(fd, &family, 1, std::nullopt))
        return std::nullopt;
    const auto ext = getField(fd, std::nullopt);
    if (!ext)
        return std::nullopt;
    const auto path = getField(fd, std::nullopt);
    if (!path)
        return std::nullopt;
    return Request{TextFamily(family), QString::fromUtf8(*ext), *path};
}

bool writeResult(int fd, const ExtractResult &result)
{
    QByteArray out;
    out.append(char(result.ok ? 1 : 0));
    putField(out, result.text.toUtf8());
    putField(out, result.cameraMake.toUtf8());
    putField(out, result.cameraModel.toUtf8());
    return writeAll(fd, out.constData(), size_t(out.size()));
}

std::optional<ExtractResult> readResult(int fd, Deadline deadline)
{
    char ok = 0;
    if (!readAll(fd, &ok, 1, deadline))
        return std::nullopt;
    const auto text = getField(fd, deadline);
    const auto make = text ? getField(fd, deadline) : std::nullopt;
    const auto model = make ? getField(fd, deadline) : std::nullopt;
    if (!model)
        return std::nullopt;
    return ExtractResult{ok == 1, QString::fromUtf8(*text), QString::fromUtf8(*make), QString::fromUtf8(*model)};
}

} // namespace ExtractProtocol
