#pragma once

#include <optional>
#include <string>

// The network-path vocabulary: \\server\share paths and the smb:// URIs that stand for
// them. Text only: no libsmbclient here, so the client links it without loading SMB.

// A printer's network path \\server\share, split into its two names.
struct UncPath {
    std::string server;
    std::string share;
};

// Whether the text begins like a network path (two backslashes), as connections are listed.
bool IsNetworkPath(const std::string& text);

// Splits "\\server\share". Throws SmbError naming the text when it is not such a path.
UncPath ParseUncPath(const std::string& text);

// "\\server\share"
std::string UncText(const UncPath& path);

// "\\server", as a server is listed.
std::string ServerPath(const std::string& server);

// "smb://server/share", each name percent-encoded (RFC 3986).
std::string SmbUri(const UncPath& path);

// "smb://server", for listing the server's shares (or a workgroup's servers).
std::string SmbServerUri(const std::string& server);

// "smb://", for listing the workgroups.
std::string SmbNetworkUri();

// The share a device URI prints to: smb://[user[:password]@][workgroup/]server[:port]/share,
// decoded; nothing for any other URI (other schemes, queries, deeper paths).
std::optional<UncPath> UncFromSmbUri(const std::string& uri);

// Server and share names compare without regard to (ASCII) letter case, as SMB does.
bool SamePrinter(const UncPath& a, const UncPath& b);
