#include "platform/netenum/smbenumerator.h"

#include "platform/host/textutil.h"
#include "platform/netenum/resourcebuffer.h"
#include "platform/smb/libsmbclient.h"
#include "platform/smb/smblisting.h"
#include "platform/smb/smbpath.h"
#include "platform/smb/smbserver.h"

#include <cerrno>
#include <optional>
#include <vector>

namespace
{

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// What a WNetOpenEnum call lists.
struct Target {
    enum class Kind { Network, Workgroup, Server };
    Kind kind = Kind::Network;
    std::string name; // the workgroup's or the server's
};

struct Filter {
    DWORD type;
    DWORD usage;
};

DWORD ParseContainer(const NetResource* container, Target& target)
{
    if (container == nullptr) {
        target = {Target::Kind::Network, ""};
        return NO_ERROR_;
    }
    if (container->lpRemoteName == nullptr || *container->lpRemoteName == '\0')
        return ERROR_INVALID_PARAMETER;
    const std::string remote = container->lpRemoteName;
    if (container->dwDisplayType == RESOURCEDISPLAYTYPE_SHARE)
        return ERROR_NOT_CONTAINER;
    if (IsNetworkPath(remote)) {
        const std::string server = remote.substr(2);
        if (server.empty())
            return ERROR_BAD_NETPATH;
        if (server.find('\\') != std::string::npos)
            return ERROR_NOT_CONTAINER;
        target = {Target::Kind::Server, server};
        return NO_ERROR_;
    }
    if (remote.find_first_of("\\/") != std::string::npos)
        return ERROR_BAD_NETPATH;
    target = {Target::Kind::Workgroup, remote};
    return NO_ERROR_;
}

ResourceEntry MakeEntry(DWORD type, DWORD displayType, DWORD usage, const std::string& remote,
                        const std::string& comment)
{
    ResourceEntry entry;
    entry.dwScope = RESOURCE_GLOBALNET;
    entry.dwType = type;
    entry.dwDisplayType = displayType;
    entry.dwUsage = usage;
    entry.remoteName = remote;
    entry.comment = comment;
    entry.provider = kSmbProvider;
    return entry;
}

std::optional<ResourceEntry> ShareEntry(const Target& target, const SmbEntry& share, DWORD type)
{
    // Names ending in '$' are hidden by convention; Windows does not list them either.
    if (share.name.empty() || share.name.back() == '$')
        return std::nullopt;
    return MakeEntry(type, RESOURCEDISPLAYTYPE_SHARE, RESOURCEUSAGE_CONNECTABLE,
                     UncText({target.name, share.name}), share.comment);
}

// What each level holds. libsmbclient reads smb://NAME as a workgroup when NAME is one, so a
// server named like a workgroup would otherwise list servers again, and the walk never end.
bool BelongsTo(Target::Kind kind, SmbKind type)
{
    switch (type) {
    case SmbKind::Workgroup:
        return kind == Target::Kind::Network;
    case SmbKind::Server:
        return kind == Target::Kind::Workgroup;
    default:
        return kind == Target::Kind::Server;
    }
}

std::optional<ResourceEntry> EntryOf(const Target& target, const SmbEntry& smb)
{
    if (!BelongsTo(target.kind, smb.kind))
        return std::nullopt;
    switch (smb.kind) {
    case SmbKind::Workgroup:
        return MakeEntry(RESOURCETYPE_ANY, RESOURCEDISPLAYTYPE_DOMAIN, RESOURCEUSAGE_CONTAINER,
                         smb.name, smb.comment);
    case SmbKind::Server:
        return MakeEntry(RESOURCETYPE_ANY, RESOURCEDISPLAYTYPE_SERVER, RESOURCEUSAGE_CONTAINER,
                         ServerPath(smb.name), smb.comment);
    case SmbKind::PrinterShare:
        return ShareEntry(target, smb, RESOURCETYPE_PRINT);
    case SmbKind::DiskShare:
        return ShareEntry(target, smb, RESOURCETYPE_DISK);
    default:
        return std::nullopt;
    }
}

// Containers are kept whatever the type, so that the caller can go deeper.
bool Wanted(const ResourceEntry& entry, const Filter& filter)
{
    if (filter.usage != 0 && (entry.dwUsage & filter.usage) == 0)
        return false;
    return filter.type == RESOURCETYPE_ANY || entry.dwType == filter.type ||
           (entry.dwUsage & RESOURCEUSAGE_CONTAINER) != 0;
}

DWORD CodeOf(int error, Target::Kind kind)
{
    switch (error) {
    case EACCES:
    case EPERM:
        return ERROR_ACCESS_DENIED;
    case ENOMEM:
        return ERROR_NOT_ENOUGH_MEMORY;
    case ENOTDIR:
        return ERROR_NOT_CONTAINER;
    case ENETDOWN:
        return ERROR_NO_NETWORK;
    default:
        return kind == Target::Kind::Server ? ERROR_BAD_NETPATH : ERROR_NO_BROWSER_SERVERS_FOUND;
    }
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

// Names compare as the network does, without regard to case.
std::string KeyOf(const Target& target)
{
    return std::to_string(static_cast<int>(target.kind)) + UpperCaseAscii(target.name);
}

bool ValidFilter(DWORD scope, DWORD type)
{
    return (scope == RESOURCE_GLOBALNET || scope == RESOURCE_CONNECTED) &&
           (type == RESOURCETYPE_ANY || type == RESOURCETYPE_DISK || type == RESOURCETYPE_PRINT);
}

DWORD ReadEntries(const Target& target, const SmbListing& listing, const Filter& filter,
                  std::vector<ResourceEntry>& entries)
{
    if (listing.error != 0)
        return CodeOf(listing.error, target.kind);
    for (const SmbEntry& smb : listing.entries) {
        std::optional<ResourceEntry> entry = EntryOf(target, smb);
        if (entry && Wanted(*entry, filter))
            entries.push_back(std::move(*entry));
    }
    return NO_ERROR_;
}

} // namespace

struct SmbEnumerator::Level {
    std::vector<ResourceEntry> entries;
    size_t next = 0;
};

SmbEnumerator::SmbEnumerator(milliseconds perServer, size_t readAheadWidth)
    : perServer_(perServer), ahead_(readAheadWidth)
{
    // Loaded here once, so that every listing child of a scan starts with it rather than
    // loading it again; a failure is each listing's to report.
    SmbClient();
}

SmbEnumerator::~SmbEnumerator() = default;

DWORD SmbEnumerator::WNetOpenEnum(DWORD scope, DWORD type, DWORD usage,
                                  const NetResource* container, EnumHandle* handle)
{
    if (handle == nullptr || !ValidFilter(scope, type))
        return ERROR_INVALID_PARAMETER;
    auto level = std::make_unique<Level>();
    // RESOURCE_CONNECTED: an empty list, as this back end keeps no connections.
    if (scope == RESOURCE_GLOBALNET) {
        Target target;
        if (const DWORD result = ParseContainer(container, target); result != NO_ERROR_)
            return result;
        // A new walk starts at the top: nothing read ahead for an earlier one is used.
        if (container == nullptr)
            ahead_.Clear();
        const std::string key = KeyOf(target);
        const SmbListing listing =
            ahead_.Holds(key) ? ahead_.Take(key) : StartTarget(target, perServer_)->Wait();
        if (const DWORD result = ReadEntries(target, listing, {type, usage}, level->entries);
            result != NO_ERROR_)
            return result;
    }
    *handle = level.get();
    levels_.emplace(*handle, std::move(level));
    return NO_ERROR_;
}

DWORD SmbEnumerator::WNetEnumResource(EnumHandle handle, DWORD* count, void* buffer,
                                      DWORD* bufferSize)
{
    const auto found = levels_.find(handle);
    if (found == levels_.end())
        return ERROR_INVALID_HANDLE;
    Level& level = *found->second;
    return FillResourceBuffer(level.entries, level.next, count, buffer, bufferSize);
}

DWORD SmbEnumerator::WNetCloseEnum(EnumHandle handle)
{
    return levels_.erase(handle) == 1 ? NO_ERROR_ : ERROR_INVALID_HANDLE;
}

void SmbEnumerator::ReadAhead(const NetResource* records, DWORD count)
{
    for (DWORD i = 0; i < count; ++i) {
        Target target;
        if ((records[i].dwUsage & RESOURCEUSAGE_CONTAINER) == 0 ||
            ParseContainer(&records[i], target) != NO_ERROR_)
            continue;
        const milliseconds perServer = perServer_;
        ahead_.Add(KeyOf(target), [target, perServer] { return StartTarget(target, perServer); });
    }
}

std::unique_ptr<NetworkEnumerator> CreateNetworkEnumerator()
{
    return std::make_unique<SmbEnumerator>();
}
