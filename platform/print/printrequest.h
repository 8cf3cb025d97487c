#pragma once

#include "platform/smb/smbpath.h"

#include <stdexcept>
#include <string>

// What the client asks of wdprintd, the queue service for users who may not change CUPS
// queues themselves, and what it answers: a few lines of text, one request per connection.
//
//   WDPRINTD/1
//   operation=connect            (or remove)
//   path=\\server\share
//   computer=LAB12               (honoured for root only)
//   <empty line, or the end of the stream>
//
// The answer is one line: "ok <queue>", "refused <why>" or "error <why>".

// A request or an answer the other side cannot read.
class RequestError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

enum class QueueOperation { Connect, Remove };

struct PrintRequest {
    QueueOperation operation = QueueOperation::Connect;
    UncPath path;
    std::string computer; // empty: the service's own computer name
};

// More is never read: a request that long is an error.
inline constexpr size_t kMaxRequestBytes = 4096;

std::string FormatPrintRequest(const PrintRequest& request);
// Throws RequestError saying what is wrong.
PrintRequest ParsePrintRequest(const std::string& text);

enum class ReplyKind { Ok, Refused, Error };

struct PrintReply {
    ReplyKind kind = ReplyKind::Error;
    std::string text; // the queue's name, or why not
};

std::string FormatPrintReply(const PrintReply& reply);
// Throws RequestError.
PrintReply ParsePrintReply(const std::string& text);
