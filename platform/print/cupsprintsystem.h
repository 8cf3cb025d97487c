#pragma once

#include "platform/print/printsystem.h"

#include <chrono>

// The printers of the current user in CUPS. A connection to \\server\share is a raw queue
// whose device URI is smb://server/share; CUPS's smb backend (smbspool) sends the jobs.
class CupsPrintSystem : public PrintSystem
{
public:
    // `checkLimit` bounds how long Connect waits for the SMB server to answer.
    explicit CupsPrintSystem(std::chrono::milliseconds checkLimit = std::chrono::seconds(3));

    void Connect(const std::string& path) override;
    // Removes network connections only; a local printer's name is refused.
    void Remove(const std::string& listedName) override;
    void SetDefault(const std::string& name) override;
    std::vector<std::string> InstalledPrinters() override;

private:
    std::chrono::milliseconds checkLimit_;
};
