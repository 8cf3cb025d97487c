#pragma once

#include "platform/print/printsystem.h"
#include "platform/smb/uniquefd.h"

#include <map>
#include <string>
#include <vector>

class CupsConnection;

// The drivers the scheduler offers (CUPS-Get-PPDs, as lpinfo -m lists them), by name.
std::vector<PrinterDriver> ListDrivers(CupsConnection& cups);

// The error to report when a queue could not be made with a driver: that the driver is not on
// this computer when the scheduler does not offer it, else what the scheduler said.
PrintError DriverFailure(CupsConnection& cups, const std::string& driver, const PrintError& said);

// The PPDs the scheduler makes from drivers (CUPS-Get-PPD), each fetched once and sent with
// every queue made with its driver: given only a driver's name, the scheduler makes its PPD
// anew for each queue, most of a logon's time when it makes several. In memory, gone with
// this object.
class DriverFiles
{
public:
    // A file holding the driver's PPD; -1 when the scheduler gives none (a driver it does not
    // have, or one like "everywhere" that it makes only for a queue): then the queue is made
    // by the driver's name, as before.
    int FileFor(CupsConnection& cups, const std::string& driver);
    // Keeps the PPD of a queue made with the driver before the queue goes: a logon that
    // clears first makes the same queue again at once, and a queue's PPD is a file CUPS
    // sends as it is, not one it makes. A queue kept keeps its PPD all the same.
    void KeepFromQueue(CupsConnection& cups, const std::string& queue, const std::string& driver);

private:
    std::map<std::string, UniqueFd> files_;
};
