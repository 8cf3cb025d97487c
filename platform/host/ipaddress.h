#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// An IPv4 or IPv6 address, as rules by network compare them.
struct IpAddress {
    bool v6 = false;
    std::array<uint8_t, 16> bytes{}; // IPv4 in the first four
    int Bits() const { return v6 ? 128 : 32; }
};

// "10.1.2.3" or "2001:db8::1"; nothing when the text is neither.
std::optional<IpAddress> ParseIpAddress(const std::string& text);
std::string IpText(const IpAddress& address);

// This computer's addresses now, of the interfaces that are up, loopback left out.
std::vector<IpAddress> HostAddresses();
