#pragma once

#include "platform/smb/smblisting.h"
#include "platform/smb/smbpath.h"

#include <chrono>
#include <future>
#include <map>
#include <set>
#include <string>
#include <vector>

// Makes sure that a server answers and offers a share as a printer ("does the printer still
// exist"). A server is asked for the shares in question with a tree connect each, and only
// when it will not tell that way does it list all its shares. Each server is asked once per
// object, so a dead server costs its time once. Servers prepared beforehand are asked side
// by side, on threads of their own, while the caller does other work.
class ShareCheck
{
public:
    // A server gets `limit` in all, to accept a connection and to tell about its shares.
    explicit ShareCheck(std::chrono::milliseconds limit) : limit_(limit) {}

    // Starts asking the paths' servers that are not asked yet.
    void Prepare(const std::vector<UncPath>& paths);
    // Throws PrintError saying what failed.
    void Check(const UncPath& path);

    // What a server said, by share name in upper case.
    struct Answer {
        std::string error;                   // why the server could not be asked
        std::map<std::string, SmbKind> kinds; // the shares that exist
        bool everyShare = false;             // a listing: a share not in kinds does not exist
        std::set<std::string> asked;         // the shares asked about one by one
        bool Covers(const std::string& share) const;
    };

private:
    const Answer& Ask(const UncPath& path);
    void Keep(const std::string& key, Answer answer);

    std::chrono::milliseconds limit_;
    std::map<std::string, Answer> servers_;                    // by server name in upper case
    std::map<std::string, std::shared_future<Answer>> asking_; // prepared, not yet checked
};

// Asks one server about the shares (tree connects), else lists them, all before the deadline.
ShareCheck::Answer AskServer(const std::string& server, const std::vector<std::string>& shares,
                             std::chrono::steady_clock::time_point deadline);
