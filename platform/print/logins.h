#pragma once

#include <string>

// Whether a user has a session on this machine now: logind keeps /run/user/UID while the
// user has one, and utmp lists terminal and display-manager logins.
bool IsLoggedIn(const std::string& user);
