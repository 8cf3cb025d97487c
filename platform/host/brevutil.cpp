#include "platform/host/brevutil.h"

#include "platform/host/textutil.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <ifaddrs.h>
#include <limits.h>
#include <netinet/in.h>
#include <pwd.h>
#include <spawn.h>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

TBrevUtil::TBrevUtil(std::vector<std::string> args) : args_(std::move(args)) {}

TBrevUtil TBrevUtil::FromMain(int argc, char** argv)
{
    return TBrevUtil(std::vector<std::string>(argv, argv + argc));
}

std::string TBrevUtil::getstartdir() const
{
    if (!startDir_.empty())
        return startDir_;
    char buf[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0)
        throw std::runtime_error("Cannot find the program's directory: " +
                                 std::string(std::strerror(errno)));
    std::string path(buf, static_cast<size_t>(n));
    return path.substr(0, path.rfind('/') + 1);
}

void TBrevUtil::SetStartDir(const std::string& dir)
{
    startDir_ = dir;
    if (startDir_.empty() || startDir_.back() != '/')
        startDir_ += '/';
}

bool ParseSwitch(const std::string& arg, std::string& name, std::string& value, bool& hasValue)
{
    if (arg.size() < 2 || (arg[0] != '/' && arg[0] != '-'))
        return false;
    size_t sep = arg.find_first_of("=:", 1);
    hasValue = sep != std::string::npos;
    name = arg.substr(1, hasValue ? sep - 1 : std::string::npos);
    value = hasValue ? arg.substr(sep + 1) : std::string();
    // A value quoted as a whole, as in /CLIENTNAME="LAB 12" passed through unchanged.
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
        value = value.substr(1, value.size() - 2);
    return !name.empty();
}

bool TBrevUtil::ReadCommandLine(const std::string& name, std::string& value) const
{
    for (size_t i = 1; i < args_.size(); ++i) {
        std::string n, v;
        bool hasValue = false;
        if (ParseSwitch(args_[i], n, v, hasValue) && EqualsIgnoreCase(n, name)) {
            value = v;
            return true;
        }
    }
    return false;
}

namespace
{

std::string HostName()
{
    char buf[HOST_NAME_MAX + 1] = {};
    if (gethostname(buf, sizeof buf - 1) != 0)
        throw std::runtime_error("Cannot read the host name: " + std::string(std::strerror(errno)));
    return buf;
}

} // namespace

std::string NetBiosName(const std::string& hostName)
{
    return UpperCaseAscii(hostName.substr(0, hostName.find('.'))).substr(0, 15);
}

std::string TBrevUtil::CurrentHostName() const
{
    return NetBiosName(HostName());
}

std::string TBrevUtil::CurrentUserName() const
{
    if (const passwd* pw = getpwuid(getuid()))
        return pw->pw_name;
    return std::to_string(getuid());
}

void TBrevUtil::GetHostInfo(std::string& hostName, std::string& ipAddress) const
{
    hostName = HostName();
    ipAddress = "127.0.0.1";
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0)
        return;
    for (ifaddrs* a = list; a; a = a->ifa_next) {
        if (!a->ifa_addr || a->ifa_addr->sa_family != AF_INET)
            continue;
        auto* in = reinterpret_cast<sockaddr_in*>(a->ifa_addr);
        if ((ntohl(in->sin_addr.s_addr) >> 24) == 127)
            continue;
        char text[INET_ADDRSTRLEN] = {};
        inet_ntop(AF_INET, &in->sin_addr, text, sizeof text);
        ipAddress = text;
        break;
    }
    freeifaddrs(list);
}

void TBrevUtil::ExecNewProcess(const std::vector<std::string>& argv, bool /*hidden*/,
                               bool wait) const
{
    if (argv.empty())
        throw std::runtime_error("No program given to start");
    std::vector<char*> cargv;
    for (const std::string& a : argv)
        cargv.push_back(const_cast<char*>(a.c_str()));
    cargv.push_back(nullptr);
    pid_t pid = 0;
    int rc = posix_spawnp(&pid, cargv[0], nullptr, nullptr, cargv.data(), environ);
    if (rc != 0)
        throw std::runtime_error("Cannot start " + argv[0] + ": " + std::strerror(rc));
    if (wait) {
        int status = 0;
        while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
    }
}
