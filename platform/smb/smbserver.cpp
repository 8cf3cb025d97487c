#include "platform/smb/smbserver.h"

#include "platform/smb/smbpath.h"

#include <cerrno>
#include <cstring>

std::unique_ptr<SmbListingRequest> StartServerShares(const std::string& server,
                                                     std::chrono::steady_clock::time_point deadline,
                                                     SmbLogon logon)
{
    // Reaching the port first tells a host that is not there without a libsmbclient context.
    return std::make_unique<SmbListingRequest>(SmbServerUri(server), SmbDialects::Any, deadline,
                                               server, logon);
}

SmbListing ReadServerShares(const std::string& server,
                            std::chrono::steady_clock::time_point deadline, SmbLogon logon)
{
    return StartServerShares(server, deadline, logon)->Wait();
}

std::string ServerErrorText(const std::string& server, int error)
{
    const std::string subject = "The print server \"" + server + "\" ";
    switch (error) {
    case ETIMEDOUT:
        return subject + "does not answer.";
    case ECONNREFUSED:
        return subject + "cannot be reached: its name is unknown or it refuses connections on "
                         "the SMB port (445).";
    case EACCES:
    case EPERM:
        return subject + "does not let this user see its printers (access denied).";
    default:
        return subject + "cannot be reached: " + std::strerror(error) + ".";
    }
}
