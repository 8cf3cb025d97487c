// The host utility's questions answered by a POSIX system.

#include "platform/host/brevutil.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <ifaddrs.h>
#include <limits.h>
#include <netinet/in.h>
#include <pwd.h>
#include <stdexcept>
#include <unistd.h>

std::string ProgramDirectory()
{
    char buf[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0)
        throw std::runtime_error("Cannot find the program's directory: " +
                                 std::string(std::strerror(errno)));
    std::string path(buf, static_cast<size_t>(n));
    return path.substr(0, path.rfind('/') + 1);
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
