#pragma once

#include "platform/netenum/sharebrowser.h"
#include "platform/smb/smblistingpool.h"

#include <chrono>
#include <cstddef>

// The network as libsmbclient sees it: smb:// lists the workgroups of the browse list,
// smb://WORKGROUP its servers, smb://SERVER its shares. Each listing runs in a child process
// bounded by its own deadline (see SmbListingRequest).
//
// Faults: Unreachable (a server that does not answer or is unknown), AccessDenied,
// NoBrowseList (no browse list: smb:// or a workgroup), NoNetwork (no interface is up),
// BadName (a name holding a slash or a backslash, or an empty one), Stopped. Without a
// master browser in reach the workgroups are an empty list or NoBrowseList.
class SmbShareBrowser : public ShareBrowser
{
public:
    // perServer: how long one server (or the browse list) may take to give its list, from
    // when it is asked; width: how many listings read ahead run at once.
    explicit SmbShareBrowser(std::chrono::milliseconds perServer = std::chrono::seconds(3),
                             size_t width = 8);

    std::vector<std::string> Workgroups(std::stop_token stop) override;
    std::vector<std::string> Servers(const std::string& workgroup, std::stop_token stop) override;
    std::vector<Share> Shares(const std::string& server, std::stop_token stop) override;
    void ReadServersAhead(const std::vector<std::string>& workgroups) override;
    void ReadSharesAhead(const std::vector<std::string>& servers) override;

private:
    std::chrono::milliseconds perServer_;
    SmbListingPool pool_;
};
