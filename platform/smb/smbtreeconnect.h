#pragma once

#include "platform/smb/smblisting.h"

#include <chrono>
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

// What a server says of some of its shares when asked over SMB2 (2.0.2 to 3.1.1) in an
// anonymous session: one tree connect per share tells printer, folder or pipe, that there is
// no such share, or that the share admits no guest. It needs a few small exchanges on one
// connection and no library, where a listing of every share loads libsmbclient and takes an
// RPC pipe. A server that speaks only SMB1, or answers in a way not foreseen here, is left to
// the listing.
struct ShareTypes {
    int error = 0;       // errno: the server could not be reached or did not answer in time
    bool unsure = false; // the server would not tell this way: ask by listing its shares
    // The server refused the anonymous session: it admits no guest, or it requires encryption,
    // which a session without a key cannot give (a server does not say which).
    bool noGuest = false;
    std::map<std::string, SmbKind> kinds; // by the name asked, for the shares that exist
    std::set<std::string> denied;         // by the name asked: shares that refuse the session
};

// Asks for every share of `shares` on one connection, all before the deadline.
ShareTypes AskShareTypes(const std::string& server, const std::vector<std::string>& shares,
                         std::chrono::steady_clock::time_point deadline);

// One SMB2 message as the server sent it, read defensively: the fields the questions above
// need, and whether the message is one at all.
struct Smb2Reply {
    bool valid = false;
    uint16_t command = 0;
    uint32_t status = 0;
    uint64_t messageId = 0;
    uint64_t sessionId = 0;
    uint8_t shareType = 0; // of a tree connect's success
};
Smb2Reply ParseSmb2Reply(const std::string& message);

// The status codes that decide an answer.
inline constexpr uint32_t kStatusSuccess = 0;
inline constexpr uint32_t kStatusMoreProcessing = 0xC0000016;
inline constexpr uint32_t kStatusBadNetworkName = 0xC00000CC;
inline constexpr uint32_t kStatusAccessDenied = 0xC0000022;
inline constexpr uint32_t kStatusLogonFailure = 0xC000006D;
