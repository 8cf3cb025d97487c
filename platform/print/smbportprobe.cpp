#include "platform/print/smbportprobe.h"

#include "platform/print/printsystem.h"

#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <future>
#include <memory>
#include <optional>
#include <thread>

namespace
{

using Clock = std::chrono::steady_clock;

struct AddrInfoDeleter {
    void operator()(addrinfo* info) const { freeaddrinfo(info); }
};
using AddrInfoPtr = std::unique_ptr<addrinfo, AddrInfoDeleter>;

struct Lookup {
    int status = 0;
    AddrInfoPtr addresses;
};

// A socket, closed when it goes.
class Socket
{
public:
    explicit Socket(int fd) : fd_(fd) {}
    ~Socket()
    {
        if (fd_ >= 0)
            close(fd_);
    }
    Socket(const Socket&) = delete;
    Socket& operator=(const Socket&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

std::string Subject(const std::string& server)
{
    return "The print server \"" + server + "\" ";
}

Lookup Resolve(const std::string& server, int flags)
{
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_NUMERICSERV | flags;
    addrinfo* result = nullptr;
    Lookup lookup;
    lookup.status = getaddrinfo(server.c_str(), "445", &hints, &result);
    lookup.addresses.reset(result);
    return lookup;
}

// getaddrinfo cannot be given a deadline (DNS may take its own time-outs several times over),
// so it runs on a thread of its own that owns everything it touches and may outlive the wait.
Lookup ResolveBefore(const std::string& server, Clock::time_point deadline)
{
    Lookup numeric = Resolve(server, AI_NUMERICHOST);
    if (numeric.status == 0)
        return numeric;
    std::promise<Lookup> promise;
    std::future<Lookup> result = promise.get_future();
    std::thread([promise = std::move(promise), server]() mutable {
        promise.set_value(Resolve(server, 0));
    }).detach();
    if (result.wait_until(deadline) != std::future_status::ready)
        throw PrintError(Subject(server) + "does not answer: its name could not be looked up in "
                                           "time.");
    return result.get();
}

// errno of a non-blocking connect, or ETIMEDOUT when the deadline came first.
int ConnectBefore(const addrinfo& address, Clock::time_point deadline)
{
    Socket socket(::socket(address.ai_family, address.ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC,
                           address.ai_protocol));
    if (socket.get() < 0)
        return errno;
    if (connect(socket.get(), address.ai_addr, address.ai_addrlen) == 0)
        return 0;
    if (errno != EINPROGRESS)
        return errno;
    pollfd wanted{socket.get(), POLLOUT, 0};
    for (;;) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0)
            return ETIMEDOUT;
        const int ready = poll(&wanted, 1, static_cast<int>(left.count()));
        if (ready > 0)
            break;
        if (ready < 0 && errno != EINTR)
            return errno;
    }
    int error = 0;
    socklen_t length = sizeof(error);
    if (getsockopt(socket.get(), SOL_SOCKET, SO_ERROR, &error, &length) != 0)
        return errno;
    return error;
}

std::string ConnectError(const std::string& server, int error)
{
    switch (error) {
    case ETIMEDOUT:
        return Subject(server) + "does not answer.";
    case ECONNREFUSED:
        return Subject(server) + "refuses connections on the SMB port (445).";
    default:
        return Subject(server) + "cannot be reached: " + std::strerror(error) + ".";
    }
}

} // namespace

ProbeResult ProbeSmbPort(const std::string& server, Clock::time_point deadline)
{
    const Lookup lookup = ResolveBefore(server, deadline);
    if (lookup.status == EAI_NONAME || lookup.status == EAI_AGAIN || lookup.status == EAI_FAIL)
        return ProbeResult::UnknownName;
    if (lookup.status != 0)
        throw PrintError(Subject(server) + "cannot be looked up: " + gai_strerror(lookup.status) +
                         ".");
    int error = EHOSTUNREACH;
    for (const addrinfo* address = lookup.addresses.get(); address != nullptr;
         address = address->ai_next) {
        error = ConnectBefore(*address, deadline);
        if (error == 0)
            return ProbeResult::Answered;
    }
    throw PrintError(ConnectError(server, error));
}
