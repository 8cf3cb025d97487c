#include "platform/smb/smbreach.h"

#include "platform/smb/uniquefd.h"

#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>

#include <cerrno>
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
    int status = EAI_FAIL;
    AddrInfoPtr addresses;
};

Lookup Resolve(const std::string& host, int flags)
{
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_NUMERICSERV | flags;
    addrinfo* result = nullptr;
    Lookup lookup;
    lookup.status = getaddrinfo(host.c_str(), "445", &hints, &result);
    lookup.addresses.reset(result);
    return lookup;
}

// getaddrinfo takes no deadline, so a name is looked up on a thread of its own that owns
// everything it touches and may outlive the wait. Nothing when the deadline comes first.
std::optional<Lookup> ResolveBefore(const std::string& host, Clock::time_point deadline)
{
    Lookup numeric = Resolve(host, AI_NUMERICHOST);
    if (numeric.status == 0)
        return numeric;
    std::promise<Lookup> promise;
    std::future<Lookup> result = promise.get_future();
    std::thread([promise = std::move(promise), host]() mutable {
        promise.set_value(Resolve(host, 0));
    }).detach();
    if (result.wait_until(deadline) != std::future_status::ready)
        return std::nullopt;
    return result.get();
}

// 0 once a connection under way is made, else the errno of its failure.
int WaitConnected(int socket, Clock::time_point deadline)
{
    pollfd wanted{socket, POLLOUT, 0};
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
    if (getsockopt(socket, SOL_SOCKET, SO_ERROR, &error, &length) != 0)
        return errno;
    return error;
}

// The connected socket, or none with *error the errno of the failure (ETIMEDOUT at the
// deadline).
UniqueFd ConnectBefore(const addrinfo& address, Clock::time_point deadline, int& error)
{
    UniqueFd socket(::socket(address.ai_family, address.ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC,
                             address.ai_protocol));
    error = socket.get() < 0 ? errno : 0;
    if (error == 0 && connect(socket.get(), address.ai_addr, address.ai_addrlen) != 0)
        error = errno == EINPROGRESS ? WaitConnected(socket.get(), deadline) : errno;
    return error == 0 ? std::move(socket) : UniqueFd();
}

} // namespace

UniqueFd ConnectSmbPort(const std::string& host, Clock::time_point deadline, SmbReach& reach,
                        int& error)
{
    error = ETIMEDOUT;
    reach = SmbReach::NoAnswer;
    UniqueFd connected;
    const std::optional<Lookup> lookup = ResolveBefore(host, deadline);
    if (lookup && (lookup->status == EAI_NONAME || lookup->status == EAI_AGAIN ||
                   lookup->status == EAI_FAIL || lookup->status == EAI_NODATA)) {
        reach = SmbReach::UnknownName;
    } else if (lookup && lookup->status == 0) {
        error = EHOSTUNREACH;
        for (const addrinfo* address = lookup->addresses.get();
             address != nullptr && reach == SmbReach::NoAnswer; address = address->ai_next) {
            connected = ConnectBefore(*address, deadline, error);
            if (error == 0)
                reach = SmbReach::Answered;
        }
    }
    return connected;
}

SmbReach ReachSmbPort(const std::string& host, Clock::time_point deadline, int* error)
{
    SmbReach reach = SmbReach::NoAnswer;
    int why = 0;
    ConnectSmbPort(host, deadline, reach, why);
    if (error)
        *error = why;
    return reach;
}
