#include "platform/host/ipaddress.h"

#include <arpa/inet.h>
#include <cstring>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>

std::optional<IpAddress> ParseIpAddress(const std::string& text)
{
    IpAddress address;
    if (inet_pton(AF_INET, text.c_str(), address.bytes.data()) == 1)
        return address;
    address.v6 = true;
    if (inet_pton(AF_INET6, text.c_str(), address.bytes.data()) == 1)
        return address;
    return std::nullopt;
}

std::string IpText(const IpAddress& address)
{
    char text[INET6_ADDRSTRLEN] = {};
    inet_ntop(address.v6 ? AF_INET6 : AF_INET, address.bytes.data(), text, sizeof text);
    return text;
}

std::vector<IpAddress> HostAddresses()
{
    std::vector<IpAddress> addresses;
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0)
        return addresses;
    for (const ifaddrs* a = list; a; a = a->ifa_next) {
        if (!a->ifa_addr || !(a->ifa_flags & IFF_UP) || (a->ifa_flags & IFF_LOOPBACK))
            continue;
        IpAddress address;
        if (a->ifa_addr->sa_family == AF_INET) {
            const auto* in = reinterpret_cast<const sockaddr_in*>(a->ifa_addr);
            std::memcpy(address.bytes.data(), &in->sin_addr, 4);
        } else if (a->ifa_addr->sa_family == AF_INET6) {
            const auto* in = reinterpret_cast<const sockaddr_in6*>(a->ifa_addr);
            address.v6 = true;
            std::memcpy(address.bytes.data(), &in->sin6_addr, 16);
        } else {
            continue;
        }
        addresses.push_back(address);
    }
    freeifaddrs(list);
    return addresses;
}
