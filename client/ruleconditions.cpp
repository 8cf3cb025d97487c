#include "client/ruleconditions.h"

#include "platform/host/textutil.h"

#include <algorithm>

namespace
{

// Whole decimal digits within a bound, nothing else.
bool PrefixOf(const std::string& text, int bits, int& prefix)
{
    if (text.empty() || text.size() > 3 ||
        text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    prefix = std::stoi(text);
    return prefix <= bits;
}

IpNetwork ParseNetwork(const std::string& part)
{
    const size_t slash = part.find('/');
    const std::optional<IpAddress> address = ParseIpAddress(part.substr(0, slash));
    if (!address)
        throw ConditionError("\"" + part + "\" is not a network: \"" + part.substr(0, slash) +
                             "\" is no IPv4 or IPv6 address");
    IpNetwork network{*address, address->Bits()};
    if (slash != std::string::npos &&
        !PrefixOf(part.substr(slash + 1), address->Bits(), network.prefix))
        throw ConditionError("\"" + part + "\" is not a network: the prefix after '/' must be a " +
                             "number from 0 to " + std::to_string(address->Bits()));
    return network;
}

std::string Joined(const std::vector<std::string>& items)
{
    std::string joined;
    for (const std::string& item : items)
        joined += (joined.empty() ? "" : ", ") + item;
    return joined;
}

std::string NetworksFail(const std::string& text, const std::vector<IpAddress>& addresses)
{
    const std::vector<IpNetwork> networks = ParseNetworks(text);
    for (const IpAddress& address : addresses)
        for (const IpNetwork& network : networks)
            if (InNetwork(address, network))
                return "";
    std::vector<std::string> own, listed;
    for (const IpAddress& a : addresses)
        own.push_back(IpText(a));
    for (const IpNetwork& n : networks)
        listed.push_back(NetworkText(n));
    return "the computer is on none of its networks (" + Joined(listed) +
           "); its addresses: " + (own.empty() ? "none" : Joined(own));
}

std::string GroupsFail(const std::string& text, const std::vector<std::string>& userGroups,
                       const std::string& user)
{
    const std::vector<std::string> groups = ParseGroups(text);
    for (const std::string& group : groups)
        for (const std::string& own : userGroups)
            if (EqualsIgnoreCase(group, own))
                return "";
    return "the user " + user + " is in none of its groups (" + Joined(groups) + ")";
}

} // namespace

std::vector<IpNetwork> ParseNetworks(const std::string& text)
{
    std::vector<IpNetwork> networks;
    std::string part;
    for (size_t i = 0; i <= text.size(); ++i) {
        const char c = i < text.size() ? text[i] : ' ';
        if (c == ' ' || c == ',' || c == '\t') {
            if (!part.empty())
                networks.push_back(ParseNetwork(part));
            part.clear();
        } else {
            part += c;
        }
    }
    return networks;
}

std::vector<std::string> ParseGroups(const std::string& text)
{
    std::vector<std::string> groups;
    if (Trimmed(text).empty())
        return groups;
    for (size_t begin = 0; begin <= text.size();) {
        const size_t comma = std::min(text.find(',', begin), text.size());
        const std::string name = Trimmed(text.substr(begin, comma - begin));
        if (name.empty())
            throw ConditionError("a group name is empty (two commas, or one at an end)");
        if (std::any_of(name.begin(), name.end(),
                        [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7f; }))
            throw ConditionError("the group name \"" + name + "\" holds a control character");
        groups.push_back(name);
        begin = comma + 1;
    }
    return groups;
}

bool InNetwork(const IpAddress& address, const IpNetwork& network)
{
    if (address.v6 != network.address.v6)
        return false;
    for (int bit = 0; bit < network.prefix; ++bit) {
        const uint8_t mask = static_cast<uint8_t>(0x80 >> (bit % 8));
        if ((address.bytes[bit / 8] & mask) != (network.address.bytes[bit / 8] & mask))
            return false;
    }
    return true;
}

std::string NetworkText(const IpNetwork& network)
{
    return IpText(network.address) + "/" + std::to_string(network.prefix);
}

std::string WhyConditionsFail(const std::string& networks, const std::string& groups,
                              const ConditionSources& sources)
{
    try {
        if (!Trimmed(networks).empty())
            if (std::string why = NetworksFail(networks, sources.addresses()); !why.empty())
                return why;
    } catch (const ConditionError& e) {
        return std::string("its networks cannot be read: ") + e.what();
    }
    try {
        if (!Trimmed(groups).empty())
            return GroupsFail(groups, sources.groups(), sources.user);
    } catch (const ConditionError& e) {
        return std::string("its groups cannot be read: ") + e.what();
    }
    return "";
}
