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
    // Asks the server whether the path is a printer share, as Connect does first, and
    // changes nothing. Throws PrintServerUnreachable, or PrintError saying what is wrong.
    virtual void CheckShare(const std::string& path) = 0;
};

// The back end of this OS.
std::unique_ptr<PrintSystem> CreatePrintSystem();
