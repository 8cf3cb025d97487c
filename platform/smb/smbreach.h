#pragma once

#include "platform/smb/uniquefd.h"

#include <chrono>
#include <string>

enum class SmbReach {
    Answered,    // a TCP connection to port 445 was accepted
    UnknownName, // the resolver does not know the name: perhaps only NetBIOS does
    NoAnswer,    // refused, unreachable, or nothing before the deadline
};

// Opens (and closes) a TCP connection to the host's SMB port, giving up at the deadline, so
// that a host that refuses or is not there is told apart at once, without starting a listing.
// With NoAnswer, *error (when given) tells why: ETIMEDOUT, ECONNREFUSED, EHOSTUNREACH, ...
SmbReach ReachSmbPort(const std::string& host, std::chrono::steady_clock::time_point deadline,
                      int* error = nullptr);
// The same, keeping the connection: the connected socket (non-blocking) when reach is
// Answered, else none, with error as above.
UniqueFd ConnectSmbPort(const std::string& host, std::chrono::steady_clock::time_point deadline,
                        SmbReach& reach, int& error);
