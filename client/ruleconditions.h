#pragma once

#include "platform/host/ipaddress.h"

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

// A rule's two optional conditions beside its computer-name pattern: the networks the
// computer must be on (`Networks`: CIDR networks, separated by blanks or commas) and the groups
// the user must be in (`Groups`: names separated by commas; a name may hold blanks and
// backslashes, as a domain's groups do). Empty: any network, any user.

// A condition's text that does not read; the message names the bad part.
class ConditionError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

struct IpNetwork {
    IpAddress address;
    int prefix = 0; // the number of leading bits that count
};

// Throws ConditionError naming the part that is no network ("10.0.0.0/33": the prefix).
std::vector<IpNetwork> ParseNetworks(const std::string& text);
// Throws ConditionError for an empty name (two commas) or a control character.
std::vector<std::string> ParseGroups(const std::string& text);

bool InNetwork(const IpAddress& address, const IpNetwork& network);
std::string NetworkText(const IpNetwork& network);

// Why a rule whose name matched does not apply for this computer's addresses and the user's
// groups; "" when it applies. Each is asked for only when the rule has that condition. A
// condition that does not read keeps the rule from applying, and says why.
struct ConditionSources {
    std::function<const std::vector<IpAddress>&()> addresses;
    std::function<const std::vector<std::string>&()> groups;
    std::string user;
};
std::string WhyConditionsFail(const std::string& networks, const std::string& groups,
                              const ConditionSources& sources);
