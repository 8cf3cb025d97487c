#pragma once

#include <chrono>
#include <string>

enum class ProbeResult {
    Answered,    // a TCP connection to port 445 was accepted
    UnknownName, // the system's resolver does not know the name (it may be a NetBIOS name)
};

// Opens (and closes) a TCP connection to the server's SMB port, giving up at the deadline.
// This bounds what libsmbclient does not: its connect waits for the kernel (~3 s for an
// absent host on the local network, minutes for one whose packets are dropped).
// Throws PrintError when the server does not answer, cannot be reached or refuses.
ProbeResult ProbeSmbPort(const std::string& server, std::chrono::steady_clock::time_point deadline);
