#include "platform/print/smbshares.h"

#include "platform/print/printsystem.h"
#include "platform/print/uncpath.h"

#include "platform/smb/smblisting.h"

#include <libsmbclient.h>

#include <cerrno>
#include <cstring>

namespace
{

std::string ErrnoText(int error)
{
    return std::strerror(error);
}

std::string ListingError(const std::string& server, int error)
{
    const std::string subject = "The print server \"" + server + "\" ";
    switch (error) {
    case ETIMEDOUT:
        return subject + "does not answer.";
    case ECONNREFUSED:
        return subject + "cannot be reached: its name is unknown or it refuses SMB connections.";
    case EHOSTUNREACH:
    case ENETUNREACH:
    case EHOSTDOWN:
        return subject + "cannot be reached: " + ErrnoText(error) + ".";
    case EACCES:
    case EPERM:
        return subject + "does not let this user see its printers (access denied).";
    default:
        return "Cannot list the printers of the server \"" + server + "\": " + ErrnoText(error) +
               ".";
    }
}

SmbShare::Kind KindOf(unsigned int type)
{
    switch (type) {
    case SMBC_PRINTER_SHARE:
        return SmbShare::Kind::Printer;
    case SMBC_FILE_SHARE:
        return SmbShare::Kind::Disk;
    default:
        return SmbShare::Kind::Other;
    }
}

} // namespace

std::vector<SmbShare> ListShares(const std::string& server,
                                 std::chrono::steady_clock::time_point deadline)
{
    const SmbListing listing = ReadSmbDirectory(SmbServerUri(server), SmbDialects::Any, deadline);
    if (listing.error != 0)
        throw PrintError(ListingError(server, listing.error));
    std::vector<SmbShare> shares;
    for (const SmbEntry& entry : listing.entries)
        shares.push_back({entry.name, KindOf(entry.type), entry.comment});
    return shares;
}
