#include "platform/netenum/smbsharebrowser.h"

#include "platform/host/textutil.h"
#include "platform/smb/libsmbclient.h"
#include "platform/smb/smbpath.h"
#include "platform/smb/smbserver.h"

#include <cerrno>
#include <cstring>

namespace
{

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// What one listing lists.
struct Target {
    enum class Kind { Network, Workgroup, Server };
    Kind kind;
    std::string name; // the workgroup's or the server's
};

// Names compare as the network does, without regard to case.
std::string KeyOf(const Target& target)
{
    return std::to_string(static_cast<int>(target.kind)) + UpperCaseAscii(target.name);
}

bool ValidName(const std::string& name)
{
    return !name.empty() && name.find_first_of("\\/") == std::string::npos;
}

void CheckName(const std::string& name, const std::string& what)
{
    if (!ValidName(name))
        throw BrowseError(BrowseFault::BadName, "\"" + name + "\" is not " + what + " name.");
}

// A server gets perServer in all, to accept a connection and to list its shares, counted
// from the start of its child.
std::unique_ptr<SmbListingRequest> StartTarget(const Target& target, milliseconds perServer)
{
    const Clock::time_point deadline = Clock::now() + perServer;
    switch (target.kind) {
    case Target::Kind::Server:
        return StartServerShares(target.name, deadline);
    case Target::Kind::Workgroup:
        return std::make_unique<SmbListingRequest>(SmbServerUri(target.name), SmbDialects::Browsing,
                                                   deadline);
    default:
        return std::make_unique<SmbListingRequest>(SmbNetworkUri(), SmbDialects::Browsing,
                                                   deadline);
    }
}

void Queue(SmbListingPool& pool, milliseconds perServer, const Target& target)
{
    pool.Add(KeyOf(target), [target, perServer] { return StartTarget(target, perServer); });
}

BrowseFault FaultOf(int error, Target::Kind kind)
{
    switch (error) {
    case EACCES:
    case EPERM:
        return BrowseFault::AccessDenied;
    case ENETDOWN:
        return BrowseFault::NoNetwork;
    default:
        return kind == Target::Kind::Server ? BrowseFault::Unreachable : BrowseFault::NoBrowseList;
    }
}

std::string ErrorText(const Target& target, int error)
{
    const std::string why = std::strerror(error);
    switch (target.kind) {
    case Target::Kind::Server:
        return ServerErrorText(target.name, error);
    case Target::Kind::Workgroup:
        return "The servers of the workgroup \"" + target.name + "\" could not be listed: " + why +
               ".";
    default:
        return "The workgroups of the network could not be listed (is a master browser in "
               "reach?): " +
               why + ".";
    }
}

// The level's listing, read ahead or read now. A stopped one leaves no child running.
SmbListing Read(SmbListingPool& pool, milliseconds perServer, const Target& target,
                std::stop_token stop)
{
    Queue(pool, perServer, target);
    SmbListing listing = pool.Take(KeyOf(target), stop);
    if (stop.stop_requested()) {
        pool.Clear();
        throw BrowseError(BrowseFault::Stopped, "The scan was stopped.");
    }
    if (listing.error != 0)
        throw BrowseError(FaultOf(listing.error, target.kind), ErrorText(target, listing.error));
    return listing;
}

// The names of one kind in a listing. libsmbclient reads smb://NAME as a workgroup when NAME
// is one, so a server named like a workgroup would otherwise list servers again, and the walk
// never end: each level keeps only what belongs to it.
std::vector<std::string> NamesOf(const SmbListing& listing, SmbKind kind)
{
    std::vector<std::string> names;
    for (const SmbEntry& entry : listing.entries)
        if (entry.kind == kind)
            names.push_back(entry.name);
    return names;
}

} // namespace

SmbShareBrowser::SmbShareBrowser(milliseconds perServer, size_t width)
    : perServer_(perServer), pool_(width)
{
    // Loaded here once, so that every listing child of a scan starts with it rather than
    // loading it again; a failure is each listing's to report.
    SmbClient();
}

std::vector<std::string> SmbShareBrowser::Workgroups(std::stop_token stop)
{
    pool_.Clear();
    return NamesOf(Read(pool_, perServer_, {Target::Kind::Network, ""}, stop), SmbKind::Workgroup);
}

std::vector<std::string> SmbShareBrowser::Servers(const std::string& workgroup,
                                                  std::stop_token stop)
{
    CheckName(workgroup, "a workgroup's");
    return NamesOf(Read(pool_, perServer_, {Target::Kind::Workgroup, workgroup}, stop),
                   SmbKind::Server);
}

std::vector<Share> SmbShareBrowser::Shares(const std::string& server, std::stop_token stop)
{
    CheckName(server, "a server's");
    const SmbListing listing = Read(pool_, perServer_, {Target::Kind::Server, server}, stop);
    std::vector<Share> shares;
    for (const SmbEntry& entry : listing.entries) {
        // Names ending in '$' are hidden by convention; Windows does not list them either.
        if (entry.name.empty() || entry.name.back() == '$')
            continue;
        if (entry.kind == SmbKind::PrinterShare)
            shares.push_back({server, entry.name, entry.comment, ShareKind::Printer});
        else if (entry.kind == SmbKind::DiskShare)
            shares.push_back({server, entry.name, entry.comment, ShareKind::Disk});
    }
    return shares;
}

void SmbShareBrowser::ReadServersAhead(const std::vector<std::string>& workgroups)
{
    for (const std::string& workgroup : workgroups)
        if (ValidName(workgroup))
            Queue(pool_, perServer_, {Target::Kind::Workgroup, workgroup});
}

void SmbShareBrowser::ReadSharesAhead(const std::vector<std::string>& servers)
{
    for (const std::string& server : servers)
        if (ValidName(server))
            Queue(pool_, perServer_, {Target::Kind::Server, server});
}

std::unique_ptr<ShareBrowser> CreateShareBrowser()
{
    return std::make_unique<SmbShareBrowser>();
}
