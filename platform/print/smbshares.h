#pragma once

#include <chrono>
#include <string>
#include <vector>

// One share as a server lists it.
struct SmbShare {
    enum class Kind { Printer, Disk, Other };
    std::string name;
    Kind kind;
    std::string comment;
};

// Lists the shares a server shows to this user (its Kerberos ticket if it has one, else a
// guest), through libsmbclient. `timeout` bounds each wait for an answer of a server that was
// reached; reaching it is not bounded (an absent host takes ~6 s, a host whose packets are
// dropped ~10 s): see ProbeSmbPort. Calls are serialized: this build of libsmbclient has no
// thread support. Throws PrintError saying why the server could not be asked.
std::vector<SmbShare> ListShares(const std::string& server, std::chrono::milliseconds timeout);
