#pragma once

#include "textextractor.h"

#include <QByteArray>
#include <QString>

#include <chrono>
#include <optional>

// The messages between the indexer and its helper process on a socket: one
// request (family, extension, path), one answer (ok, text, camera make and
// model), length-prefixed so any bytes of a path or text pass through.
namespace ExtractProtocol {

struct Request
{
    TextFamily family = TextFamily::none;
    QString lowerExt;
    QByteArray path;
};

using Deadline = std::optional<std::chrono::steady_clock::time_point>;

// False when the other side is gone (or the deadline passed).
bool writeRequest(int fd, const Request &request);
std::optional<Request> readRequest(int fd);
bool writeResult(int fd, const ExtractResult &result);
std::optional<ExtractResult> readResult(int fd, Deadline deadline);

} // namespace ExtractProtocol
