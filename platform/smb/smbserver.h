#pragma once

#include "platform/smb/smblisting.h"

#include <chrono>
#include <memory>
#include <string>

// Reaches a server's SMB port, then lists its shares, both before the deadline, logged on as
// `logon` says. A name the resolver does not know is left to libsmbclient, which asks by
// NetBIOS broadcast. The listing's error is an errno: ETIMEDOUT when nothing answered in time.
SmbListing ReadServerShares(const std::string& server,
                            std::chrono::steady_clock::time_point deadline,
                            SmbLogon logon = SmbLogon::Guest);
// The same, started and left running: the reach and the listing both run in the child.
std::unique_ptr<SmbListingRequest> StartServerShares(const std::string& server,
                                                     std::chrono::steady_clock::time_point deadline,
                                                     SmbLogon logon = SmbLogon::Guest);

// What a failed ReadServerShares means, for a person: "The print server "X" does not answer."
std::string ServerErrorText(const std::string& server, int error);
