#pragma once

#include "platform/print/printsystem.h"
#include "platform/print/sharecheck.h"

#include <chrono>
#include <memory>

class CupsConnection;

// The printers of the current user in CUPS. A connection to \\server\share is a raw queue
// whose device URI is smb://server/share; CUPS's smb backend (smbspool) sends the jobs.
class CupsPrintSystem : public PrintSystem
{
public:
    // `checkLimit` bounds how long Connect waits for the SMB server to answer: a logon with
    // one dead printer stays under 3 seconds in all.
    explicit CupsPrintSystem(
        std::chrono::milliseconds checkLimit = std::chrono::milliseconds(2500));
    ~CupsPrintSystem() override;

    void Connect(const std::string& path) override;
    // Removes network connections only; a local printer's name is refused.
    void Remove(const std::string& listedName) override;
    void SetDefault(const std::string& name) override;
    std::vector<std::string> InstalledPrinters() override;

private:
    // One connection to the scheduler for all the requests of a run.
    CupsConnection& Cups();

    ShareCheck shares_;
    std::unique_ptr<CupsConnection> cups_;
};
