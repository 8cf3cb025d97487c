#include "platform/ui/displayprobe.h"

#include <QGuiApplication>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace
{

// The toolkit's own words, as it wrote them on the child's standard error: the first line
// names the fault ("could not connect to display :9", "Could not find the Qt platform plugin").
std::string FirstLine(const std::string& text)
{
    const size_t start = text.find_first_not_of("\n ");
    if (start == std::string::npos)
        return "";
    std::string line = text.substr(start, text.find('\n', start) - start);
    while (!line.empty() && line.back() == ' ')
        line.pop_back();
    return line;
}

// True when something was read.
bool ReadAvailable(int fd, std::string& text, int waitMs)
{
    pollfd p{fd, POLLIN, 0};
    if (poll(&p, 1, waitMs) <= 0 || !(p.revents & POLLIN))
        return false;
    char buffer[512];
    const ssize_t n = read(fd, buffer, sizeof buffer);
    if (n <= 0)
        return false;
    if (text.size() < 4096)
        text.append(buffer, static_cast<size_t>(n));
    return true;
}

// Waits for the child, gathering what it writes; false when the deadline passed first. The
// pipe is not waited on to close: a helper the toolkit starts may hold it open.
bool WaitGathering(pid_t child, int fd, std::string& text, int timeoutMs, int& status)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        const pid_t done = waitpid(child, &status, WNOHANG);
        if (done == child || (done < 0 && errno != EINTR)) {
            while (text.size() < 4096 && ReadAvailable(fd, text, 0)) {
            }
            return true;
        }
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        ReadAvailable(fd, text, 20);
    }
}

[[noreturn]] void TryInChild(int errFd, int argc, char** argv)
{
    dup2(errFd, STDERR_FILENO);
    // Aborts when there is no platform: an exit code of 0 only when there is one.
    new QGuiApplication(argc, argv);
    _exit(0);
}

} // namespace

bool CanOpenDisplay(int argc, char** argv, std::string& why, int timeoutMs)
{
    int pipeFds[2];
    if (pipe2(pipeFds, O_CLOEXEC) != 0) {
        why = std::string("no pipe for the display check: ") + std::strerror(errno);
        return false;
    }
    const pid_t child = fork();
    if (child == 0)
        TryInChild(pipeFds[1], argc, argv);
    close(pipeFds[1]);
    if (child < 0) {
        close(pipeFds[0]);
        why = std::string("no process for the display check: ") + std::strerror(errno);
        return false;
    }
    std::string said;
    int status = 0;
    const bool ended = WaitGathering(child, pipeFds[0], said, timeoutMs, status);
    if (!ended) {
        kill(child, SIGKILL);
        while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
        }
    }
    close(pipeFds[0]);
    if (ended && WIFEXITED(status) && WEXITSTATUS(status) == 0)
        return true;
    why = !ended ? "the display did not answer within " + std::to_string(timeoutMs / 1000) +
                       " seconds"
                 : FirstLine(said);
    if (why.empty())
        why = "the window toolkit could not start";
    return false;
}
