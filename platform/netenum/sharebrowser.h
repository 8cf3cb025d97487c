#pragma once

#include <memory>
#include <stdexcept>
#include <stop_token>
#include <string>
#include <vector>

enum class ShareKind { Printer, Disk };

// A share as its server lists it.
struct Share {
    std::string server; // as the level above named it
    std::string name;
    std::string comment; // "" when there is none
    ShareKind kind = ShareKind::Printer;
};

// "\\SERVER\share"
std::string SharePath(const Share& share);

// Why a level could not be listed.
enum class BrowseFault {
    BadName,      // not a workgroup's or a server's name
    Unreachable,  // the server does not answer in time, refuses, or is unknown
    AccessDenied, // it answers, but does not let this user see the list
    NoBrowseList, // no master browser gave the workgroups or a workgroup's servers
    NoNetwork,    // no interface is up
    Stopped,      // the walk was asked to stop before the list came
};

class BrowseError : public std::runtime_error
{
public:
    BrowseError(BrowseFault fault, const std::string& message)
        : std::runtime_error(message), fault_(fault)
    {
    }
    BrowseFault Fault() const { return fault_; }

private:
    BrowseFault fault_;
};

// The network in three levels: the workgroups of the browse list, a workgroup's servers, a
// server's shares. Each level is read whole or not at all: a level that cannot be read
// throws BrowseError, and so does one whose reading is stopped through `stop`. Names compare
// without regard to case. One walk at a time, on one thread.
class ShareBrowser
{
public:
    virtual ~ShareBrowser() = default;

    // Starts a new walk: nothing read ahead for an earlier one is used.
    virtual std::vector<std::string> Workgroups(std::stop_token stop) = 0;
    virtual std::vector<std::string> Servers(const std::string& workgroup,
                                             std::stop_token stop) = 0;
    // Printer and disk shares; hidden ones (a name ending in '$') and other kinds left out.
    virtual std::vector<Share> Shares(const std::string& server, std::stop_token stop) = 0;

    // The walk will ask for these next, in this order. A browser may start reading them now,
    // so that slow servers are waited for side by side; each must still give what it would
    // have given alone.
    virtual void ReadServersAhead(const std::vector<std::string>& workgroups) { (void)workgroups; }
    virtual void ReadSharesAhead(const std::vector<std::string>& servers) { (void)servers; }
};

// The browser of this OS.
std::unique_ptr<ShareBrowser> CreateShareBrowser();
