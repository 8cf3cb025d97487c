#pragma once

#include "platform/print/printsystem.h"
#include "platform/print/sharecheck.h"

#include "platform/print/logins.h"
#include "platform/smb/smbpath.h"

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class CupsConnection;
struct CupsQueue;

// The printers of the current user in CUPS. A connection to \\server\share is a raw queue
// whose device URI is smb://server/share; CUPS's smb backend (smbspool) sends the jobs.
// CUPS queues are the machine's, so the queues made here carry a mark naming the users they
// were made for (see queuemark.h), and only those are ever changed or removed.
class CupsPrintSystem : public PrintSystem
{
public:
    // `checkLimit` bounds how long Connect waits for the SMB server to answer: a logon with
    // one dead printer stays under 3 seconds in all.
    using LoginCheck = std::function<bool(const std::string& user)>;
    explicit CupsPrintSystem(std::chrono::milliseconds checkLimit = std::chrono::milliseconds(2500),
                             LoginCheck loggedIn = IsLoggedIn);
    ~CupsPrintSystem() override;

    void Connect(const std::string& path) override;
    // Removes network connections only; a local printer's name is refused.
    void Remove(const std::string& listedName) override;
    void SetDefault(const std::string& name) override;
    std::vector<std::string> InstalledPrinters() override;
    // Starts the share checks of the paths' servers, all at once.
    void Prepare(const std::vector<std::string>& paths) override;
    void CheckShare(const std::string& path) override;

private:
    // One connection to the scheduler for all the requests of a run.
    CupsConnection& Cups();
    // The queues, after the first listing of a run has retired those of departed users.
    std::vector<CupsQueue> Queues();
    // The queues as last listed, with this object's own changes since: what a removal or the
    // default needs, without asking the scheduler again. A new queue's name is chosen from a
    // fresh listing only.
    std::vector<CupsQueue>& KnownQueues();
    // Records that a queue is now kept for these users only; none: it is gone.
    void KeepFor(const std::string& queueName, const std::vector<std::string>& users);
    void RetireDepartedUsers(std::vector<CupsQueue>& queues);
    bool IsMine(const CupsQueue& queue) const;
    const CupsQueue* QueueFor(const std::vector<CupsQueue>& queues, const UncPath& path) const;
    std::string QueueNamed(const std::string& name);

    ShareCheck shares_;
    std::unique_ptr<CupsConnection> cups_;
    std::string user_;
    LoginCheck loggedIn_;
    bool retired_ = false;
    std::unique_ptr<std::vector<CupsQueue>> known_; // null until the first listing
};
