#include "service/listener.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

namespace
{

constexpr int kMaxCallers = 64;
// A child that hangs on CUPS or the database is ended after this.
constexpr unsigned kCallerSeconds = 60;

[[noreturn]] void Fail(const std::string& what)
{
    throw std::runtime_error(what + ": " + std::strerror(errno));
}

sockaddr_un AddressOf(const std::string& path)
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.empty() || path.size() >= sizeof(address.sun_path))
        throw std::runtime_error("The socket path \"" + path + "\" is empty or too long");
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    return address;
}

// A socket file that nobody listens on any more.
bool Stale(const std::string& path)
{
    struct stat info {
    };
    if (lstat(path.c_str(), &info) != 0)
        return false;
    if (!S_ISSOCK(info.st_mode))
        throw std::runtime_error("\"" + path + "\" exists and is not a socket; it is left alone");
    const int probe = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const sockaddr_un address = AddressOf(path);
    const bool answered =
        connect(probe, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    close(probe);
    if (answered)
        throw std::runtime_error("Another wdprintd listens on \"" + path + "\" already");
    return true;
}

int Children(int running)
{
    while (running > 0 && waitpid(-1, nullptr, WNOHANG) > 0)
        --running;
    if (running >= kMaxCallers && wait(nullptr) > 0)
        --running;
    return running;
}

} // namespace

int ListenOn(const std::string& path)
{
    const sockaddr_un address = AddressOf(path);
    if (Stale(path))
        unlink(path.c_str());
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0 || bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0)
        Fail("Cannot make the socket \"" + path + "\"");
    // Every local user asks; the service itself decides who gets what.
    if (chmod(path.c_str(), 0666) != 0 || listen(fd, kMaxCallers) != 0)
        Fail("Cannot listen on \"" + path + "\"");
    return fd;
}

int PassedSocket()
{
    const char* pid = std::getenv("LISTEN_PID");
    const char* fds = std::getenv("LISTEN_FDS");
    if (!pid || !fds || std::atol(pid) != static_cast<long>(getpid()) || std::atoi(fds) < 1)
        return -1;
    return 3; // SD_LISTEN_FDS_START
}

bool IsListening(int fd)
{
    int listening = 0;
    socklen_t size = sizeof listening;
    return getsockopt(fd, SOL_SOCKET, SO_ACCEPTCONN, &listening, &size) == 0 && listening;
}

std::string BoundPath(int fd)
{
    sockaddr_un address{};
    socklen_t size = sizeof address;
    if (getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size) != 0 ||
        address.sun_family != AF_UNIX || address.sun_path[0] == '\0')
        return "";
    return std::string(address.sun_path, strnlen(address.sun_path, sizeof address.sun_path));
}

[[noreturn]] void ServeForever(int listenFd, const ServiceSettings& settings)
{
    signal(SIGPIPE, SIG_IGN);
    int running = 0;
    for (;;) {
        running = Children(running);
        const int caller = accept4(listenFd, nullptr, nullptr, SOCK_CLOEXEC);
        if (caller < 0) {
            if (errno == EINTR || errno == ECONNABORTED || errno == EMFILE || errno == ENFILE)
                continue;
            Fail("Cannot accept a caller");
        }
        const pid_t child = fork();
        if (child == 0) {
            close(listenFd);
            alarm(kCallerSeconds);
            ServeConnection(caller, settings);
            _exit(0);
        }
        close(caller);
        if (child > 0)
            ++running;
    }
}
