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
// guest), through libsmbclient, giving up at the deadline. Throws PrintError saying why the
// server could not be asked.
std::vector<SmbShare> ListShares(const std::string& server,
                                 std::chrono::steady_clock::time_point deadline);
