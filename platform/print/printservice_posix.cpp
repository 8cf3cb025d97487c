#include "platform/print/printservice.h"

#include "platform/print/printsystem.h"
#include "platform/smb/uniquefd.h"

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace
{

constexpr char kDefaultSocket[] = "/run/wendrell/wdprintd.sock";
// The service does the CUPS work of one printer; its own requests are bounded by CUPS's.
constexpr auto kAnswerLimit = std::chrono::seconds(30);

[[noreturn]] void Fail(const std::string& socket, const std::string& what)
{
    throw PrintError("The printer service (wdprintd at " + socket + ") " + what + ".");
}

void Connect(const UniqueFd& s, const std::string& path)
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (s.get() < 0 || path.size() >= sizeof(address.sun_path))
        Fail(path, "cannot be reached");
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    if (connect(s.get(), reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0)
        Fail(path, std::string("cannot be reached: ") + std::strerror(errno));
}

void SendAll(const UniqueFd& s, const std::string& text, const std::string& path)
{
    for (size_t sent = 0; sent < text.size();) {
        const ssize_t n = send(s.get(), text.data() + sent, text.size() - sent, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            Fail(path, std::string("closed the connection: ") + std::strerror(errno));
        sent += static_cast<size_t>(n);
    }
    shutdown(s.get(), SHUT_WR);
}

std::string Answer(const UniqueFd& s, const std::string& path)
{
    const auto deadline = std::chrono::steady_clock::now() + kAnswerLimit;
    std::string answer;
    char buffer[512];
    while (answer.find('\n') == std::string::npos && answer.size() < kMaxRequestBytes) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        pollfd p{s.get(), POLLIN, 0};
        const int ready = left.count() > 0 ? poll(&p, 1, static_cast<int>(left.count())) : 0;
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready == 0)
            Fail(path, "did not answer in time");
        const ssize_t n = recv(s.get(), buffer, sizeof buffer, 0);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            Fail(path, "closed the connection without an answer");
        answer.append(buffer, static_cast<size_t>(n));
    }
    return answer;
}

} // namespace

std::string PrintService::SocketToUse()
{
    if (geteuid() == 0)
        return "";
    const char* given = std::getenv("WDPRINTD_SOCKET");
    const std::string path = given && *given ? given : kDefaultSocket;
    struct stat info {
    };
    return stat(path.c_str(), &info) == 0 && S_ISSOCK(info.st_mode) ? path : "";
}

std::string PrintService::Ask(const PrintRequest& request) const
{
    const UniqueFd s(socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    Connect(s, socket_);
    SendAll(s, FormatPrintRequest(request), socket_);
    PrintReply reply;
    try {
        reply = ParsePrintReply(Answer(s, socket_));
    } catch (const RequestError& e) {
        Fail(socket_, e.what());
    }
    if (reply.kind != ReplyKind::Ok)
        throw PrintError(reply.text);
    return reply.text;
}
