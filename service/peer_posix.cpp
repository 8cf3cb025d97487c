#include "service/peer.h"

#include <cerrno>
#include <poll.h>
#include <pwd.h>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

std::optional<Peer> PeerOf(int fd)
{
    ucred credentials{};
    socklen_t size = sizeof credentials;
    if (getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &credentials, &size) != 0 ||
        size != sizeof credentials)
        return std::nullopt;
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd* found = nullptr;
    if (getpwuid_r(credentials.uid, &entry, buffer.data(), buffer.size(), &found) != 0 ||
        found == nullptr)
        return std::nullopt;
    return Peer{credentials.uid, found->pw_name};
}

bool ReadRequest(int fd, size_t limit, std::chrono::milliseconds deadline, std::string& text)
{
    const auto end = std::chrono::steady_clock::now() + deadline;
    char buffer[1024];
    while (text.size() <= limit && text.find("\n\n") == std::string::npos) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            end - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            return false;
        pollfd p{fd, POLLIN, 0};
        const int ready = poll(&p, 1, static_cast<int>(left.count()));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            return ready == 0 ? false : true;
        const ssize_t n = recv(fd, buffer, sizeof buffer, 0);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return true;
        text.append(buffer, static_cast<size_t>(n));
    }
    return true;
}

void SendAnswer(int fd, const std::string& text)
{
    for (size_t sent = 0; sent < text.size();) {
        const ssize_t n = send(fd, text.data() + sent, text.size() - sent, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return;
        sent += static_cast<size_t>(n);
    }
}
