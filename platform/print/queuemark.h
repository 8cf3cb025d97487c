#pragma once

#include <optional>
#include <string>
#include <vector>

// The mark on a queue this client made, kept in the queue's location text so that an
// administrator sees it with the ordinary tools (lpstat -l -p, the web interface):
// "wdclient for alice, bob" names the users the queue was made for.

// The location text for a queue made for these users.
std::string QueueMark(const std::vector<std::string>& users);

// The users of a location text that is such a mark; nothing for any other text (a queue
// somebody else made).
std::optional<std::vector<std::string>> UsersOfMark(const std::string& location);
