#pragma once

#include <string>
#include <vector>

// The names of the groups a user belongs to, as the system resolves them (NSS: local groups
// and a domain's through winbind or sssd), the user's primary group among them; none for a
// user the system does not know.
std::vector<std::string> GroupsOf(const std::string& user);
