#pragma once

#include "platform/smb/smblisting.h"
#include "platform/smb/smblistingpool.h"
#include "platform/smb/smbpath.h"

#include <chrono>
#include <map>
#include <string>
#include <vector>

// Makes sure that a server answers and offers a share as a printer ("does the printer still
// exist"). Each server is asked once per object, so a run that connects four printers of one
// server lists its shares once, and a dead server costs its time once. Servers prepared
// beforehand are asked side by side, while the caller does other work.
class ShareCheck
{
public:
    // A server gets `limit` in all, to accept a connection and to list its shares.
    explicit ShareCheck(std::chrono::milliseconds limit) : limit_(limit), asking_(kAtOnce) {}

    // Starts asking the paths' servers that are not asked yet.
    void Prepare(const std::vector<UncPath>& paths);
    // Throws PrintError saying what failed.
    void Check(const UncPath& path);

private:
    struct Answer {
        std::vector<SmbEntry> shares;
        std::string error; // why the server could not be asked; empty when it answered
    };
    const Answer& Ask(const std::string& server);

    static constexpr size_t kAtOnce = 8;

    std::chrono::milliseconds limit_;
    std::map<std::string, Answer> servers_; // by server name in upper case
    SmbListingPool asking_;                 // the prepared ones not yet checked, by the same
};
