#pragma once

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

// The printer connections of the current user. One back end per OS, chosen in CMake.
class PrintSystem
{
public:
    virtual ~PrintSystem() = default;

    // Connects the printer at a network path (\\server\share) for the current user.
    // Connecting the same path again leaves one connection. Throws PrintError.
    virtual void Connect(const std::string& path) = 0;
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
    virtual void Prepare(const std::vector<std::string>& paths) { (void)paths; }
    // Asks the server whether the path is a printer share, as Connect does first, and
    // changes nothing. Throws PrintServerUnreachable, or PrintError saying what is wrong.
    virtual void CheckShare(const std::string& path) = 0;
};

// The back end of this OS; with loadNow it may start loading at once, in the background,
// else it loads when first used.
std::unique_ptr<PrintSystem> CreatePrintSystem(bool loadNow = true);
