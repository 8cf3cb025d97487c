#pragma once

#include <optional>
#include <string>

// A printer's network path \\server\share, split into its two names.
struct UncPath {
    std::string server;
    std::string share;
};

// Splits "\\server\share". Throws PrintError naming the text when it is not such a path.
UncPath ParseUncPath(const std::string& text);

// "\\server\share"
std::string UncText(const UncPath& path);

// "smb://server/share", each name percent-encoded (RFC 3986).
std::string SmbUri(const UncPath& path);

// "smb://server", for listing the server's shares.
std::string SmbServerUri(const std::string& server);

// The share a device URI prints to: smb://[user[:password]@][workgroup/]server[:port]/share,
// decoded; nothing for any other URI (other schemes, queries, deeper paths).
std::optional<UncPath> UncFromSmbUri(const std::string& uri);

// Server and share names compare without regard to letter case, as SMB does.
bool SamePrinter(const UncPath& a, const UncPath& b);

// Compares ASCII letters without regard to case, every other byte as it is (the way SMB
// share names and CUPS queue names are compared).
bool EqualIgnoringCase(const std::string& a, const std::string& b);
