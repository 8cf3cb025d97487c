#pragma once

#include "platform/print/logins.h"
#include "platform/print/printservice.h"
#include "platform/print/printsystem.h"
#include "platform/print/queuekeeper.h"
#include "platform/print/sharecheck.h"

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// The printers of the current user in CUPS. A connection to \\server\share is a raw queue
// whose device URI is smb://server/share; CUPS's smb backend (smbspool) sends the jobs.
// CUPS queues are the machine's, so the queues made here carry a mark naming the users they
// were made for (see queuekeeper.h), and only those are ever changed or removed. Where
// wdprintd runs, it does that work for the user; else the user does it through CUPS.
class CupsPrintSystem : public PrintSystem
{
public:
    // `checkLimit` bounds how long Connect waits for the SMB server to answer: a logon with
    // one dead printer stays under 3 seconds in all. `serviceSocket`: wdprintd's, or empty
    // to change the queues directly.
    using LoginCheck = QueueKeeper::LoginCheck;
    explicit CupsPrintSystem(std::chrono::milliseconds checkLimit = std::chrono::milliseconds(2500),
                             LoginCheck loggedIn = IsLoggedIn,
                             std::string serviceSocket = PrintService::SocketToUse());
    ~CupsPrintSystem() override;

    void Connect(const std::string& path, const QueueSetup& setup = {}) override;
    // Removes network connections only; a local printer's name is refused.
    void Remove(const std::string& listedName) override;
    void SetDefault(const std::string& name) override;
    std::vector<std::string> InstalledPrinters() override;
    // Starts the share checks of the paths' servers, all at once.
    void Prepare(const std::vector<std::string>& paths,
                 PrintLogon logon = PrintLogon::None) override;
    std::string CheckShare(const std::string& path, PrintLogon logon = PrintLogon::None) override;
    std::vector<PrinterDriver> Drivers() override;

private:
    // The share check as the logon makes it: why it could not be checked, or "".
    std::string Check(const UncPath& path, PrintLogon logon);
    // The queue named by a network path or by a queue name, as CUPS spells it.
    std::string QueueNamed(const std::string& name);

    ShareCheck shares_;
    std::optional<PrintService> service_;
    QueueKeeper keeper_;
};
