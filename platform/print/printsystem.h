#pragma once

#include "platform/print/printlogon.h"

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

// A failure of the printing system, with a message a person can act on.
class PrintError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// The print server could not be asked: it does not answer, is unknown or turns us away.
class PrintServerUnreachable : public PrintError
{
public:
    using PrintError::PrintError;
};

// A driver this computer does not have: the printer is not connected.
inline PrintError MissingDriver(const std::string& driver)
{
    return PrintError("The driver \"" + driver +
                      "\" is missing here: the printing system (CUPS) of this computer does not "
                      "offer it (lpinfo -m lists the drivers it has).");
}

// What the queue of a printer is made with.
struct QueueSetup {
    std::string driver; // a driver as the print system lists it; empty: the job as sent
    PrintLogon logon = PrintLogon::None;
};

// A driver the print system offers.
struct PrinterDriver {
    std::string name;         // as Connect takes it (CUPS: lpinfo -m's first column)
    std::string makeAndModel; // for a person
};

// The printer connections of the current user. One back end per OS, chosen in CMake.
class PrintSystem
{
public:
    virtual ~PrintSystem() = default;

    // Connects the printer at a network path (\\server\share) for the current user, with the
    // driver and logon given; a connection made before with others is corrected. Connecting
    // the same path again leaves one connection. Throws PrintError, naming a driver that
    // this computer does not have.
    virtual void Connect(const std::string& path, const QueueSetup& setup = {}) = 0;
    // Removes the connection listed under this name by InstalledPrinters(). Throws PrintError.
    virtual void Remove(const std::string& listedName) = 0;
    // Makes the printer named by its path (or listed name) the user's own default.
    // Throws PrintError.
    virtual void SetDefault(const std::string& name) = 0;
    // The printers installed for the user, in the printing system's order: connections by
    // their network path (beginning with two backslashes), every other printer by its name.
    virtual std::vector<std::string> InstalledPrinters() = 0;
    // The paths about to be connected, in order: a back end may start checking them now,
    // side by side, so that each Connect waits only for what is left. Reports nothing:
    // each Connect still makes and reports its own check.
    virtual void Prepare(const std::vector<std::string>& paths, PrintLogon logon = PrintLogon::None)
    {
        (void)paths;
        (void)logon;
    }
    // Asks the server whether the path is a printer share, logging on as the jobs will, as
    // Connect does first, and changes nothing. Throws PrintServerUnreachable, or PrintError
    // saying what is wrong. Returns why the share could not be checked where the server
    // wants the user's own logon, which the job will give (the user's password, a ticket the
    // user does not have yet); "" when it was checked.
    virtual std::string CheckShare(const std::string& path,
                                   PrintLogon logon = PrintLogon::None) = 0;
    // The drivers this computer offers, by name. Throws PrintError.
    virtual std::vector<PrinterDriver> Drivers() = 0;
};

// The back end of this OS; with loadNow it may start loading at once, in the background,
// else it loads when first used.
std::unique_ptr<PrintSystem> CreatePrintSystem(bool loadNow = true);
