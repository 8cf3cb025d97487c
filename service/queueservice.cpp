#include "service/queueservice.h"

#include "platform/host/systemlog.h"
#include "platform/print/printrequest.h"
#include "platform/print/printsystem.h"
#include "platform/print/queuekeeper.h"
#include "service/peer.h"
#include "service/printgrant.h"
#include "shared/datamodule.h"

#include <fcntl.h>
#include <iostream>
#include <sys/file.h>
#include <unistd.h>

namespace
{

// The system log (ident wdprintd), and standard error where no journal keeps that.
void ServiceLog(bool refused, const std::string& line, bool toStderr)
{
    WriteSystemLog("wdprintd", refused ? LogPriority::Warning : LogPriority::Info, line);
    if (toStderr)
        std::cerr << "wdprintd: " << line << std::endl;
}

// One caller's queue work at a time: two users logging on at once must not both make the
// queue for one printer under one name.
class QueueLock
{
public:
    explicit QueueLock(const std::string& path)
        : fd_(path.empty() ? -1 : open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600))
    {
        if (!path.empty() && (fd_ < 0 || flock(fd_, LOCK_EX) != 0))
            throw PrintError("The service cannot take its lock " + path + ".");
    }
    ~QueueLock()
    {
        if (fd_ >= 0)
            close(fd_);
    }
    QueueLock(const QueueLock&) = delete;
    QueueLock& operator=(const QueueLock&) = delete;

private:
    int fd_;
};

std::string ComputerFor(const Peer& peer, const PrintRequest& request, const TBrevUtil& host)
{
    // Only root may speak for another computer, as /CLIENTNAME does.
    return peer.uid == 0 && !request.computer.empty() ? request.computer : host.CurrentHostName();
}

PrintReply Connect(const Peer& peer, const PrintRequest& request, const ServiceSettings& settings)
{
    TBrevUtil host({"wdprintd"});
    host.SetStartDir(settings.programDir);
    DataModule dbform(host);
    dbform.SetConnection(Access::ReadOnly);
    const std::string computer = ComputerFor(peer, request, host);
    const Grant grant = GrantFor(dbform, computer, peer.user, request.path);
    if (!grant.whyNot.empty())
        return {ReplyKind::Refused, "wdprintd refuses: " + grant.whyNot + "."};
    const QueueLock lock(settings.lockPath);
    return {ReplyKind::Ok, QueueKeeper(peer.user, nullptr).Connect(request.path, grant.setup)};
}

PrintReply Remove(const Peer& peer, const PrintRequest& request, const ServiceSettings& settings)
{
    const QueueLock lock(settings.lockPath);
    QueueKeeper(peer.user, nullptr).Remove(request.path, UncText(request.path));
    return {ReplyKind::Ok, "removed"};
}

PrintReply Answer(const Peer& peer, const std::string& text, const ServiceSettings& settings)
{
    try {
        const PrintRequest request = ParsePrintRequest(text);
        return request.operation == QueueOperation::Connect ? Connect(peer, request, settings)
                                                            : Remove(peer, request, settings);
    } catch (const RequestError& e) {
        return {ReplyKind::Error, "wdprintd cannot read the request: " + std::string(e.what())};
    } catch (const std::exception& e) {
        return {ReplyKind::Error, e.what()};
    }
}

// "connect \\srv\laser" for the log, or what the request looked like when it was unreadable.
std::string WhatWasAsked(const std::string& text)
{
    try {
        const PrintRequest request = ParsePrintRequest(text);
        return (request.operation == QueueOperation::Connect ? "connect " : "remove ") +
               UncText(request.path);
    } catch (const RequestError&) {
        return "an unreadable request of " + std::to_string(text.size()) + " bytes";
    }
}

} // namespace

void ServeConnection(int fd, const ServiceSettings& settings)
{
    try {
        const std::optional<Peer> peer = PeerOf(fd);
        if (!peer) {
            ServiceLog(true, "refused a caller whose account has no name", settings.logToStderr);
            SendAnswer(fd, FormatPrintReply({ReplyKind::Refused, "wdprintd does not know you."}));
            return;
        }
        std::string text;
        if (!ReadRequest(fd, kMaxRequestBytes, settings.readLimit, text)) {
            ServiceLog(true, "user=" + peer->user + " sent no request in time",
                       settings.logToStderr);
            SendAnswer(fd,
                       FormatPrintReply({ReplyKind::Error, "wdprintd got no request in time."}));
            return;
        }
        const PrintReply reply = Answer(*peer, text, settings);
        static const char* const outcomes[] = {"done", "refused", "failed"};
        ServiceLog(reply.kind != ReplyKind::Ok,
                   "user=" + peer->user + " " + WhatWasAsked(text) + ": " +
                       outcomes[static_cast<int>(reply.kind)] + ": " + reply.text,
                   settings.logToStderr);
        SendAnswer(fd, FormatPrintReply(reply));
    } catch (...) {
        // A caller never brings the service down.
    }
}
