#pragma once

#include <optional>
#include <string>

class TBrevUtil;

// The client's own switches, read once at start.
struct ClientSwitches {
    bool silent = false;                   // /S: no status window
    bool quiet = false;                    // /q: no message when a printer cannot be connected
    bool whatIf = false;                   // /WHATIF: only say what a run would do
    bool offline = false;                  // /OFFLINE: the what-if leaves the print servers unasked
    std::optional<std::string> clientName; // /CLIENTNAME=

    // The name the rules are matched against: /CLIENTNAME's, else the computer's.
    std::string Computer(const TBrevUtil& util) const;
};

ClientSwitches ReadClientSwitches(const TBrevUtil& util);
