#pragma once

#include <string>
#include <vector>

// The host utility: command-line switches, host and user names and the start directory. No
// Qt here, so the rules and the store can be tested without a GUI.
//
// Switch syntax: a switch is /NAME or -NAME; a value follows '=' or ':' (/CLIENTNAME=LAB12,
// -CLIENTNAME:LAB12, /CLIENTNAME="LAB 12"). Names compare without regard to case and the
// first occurrence of a name wins.
class TBrevUtil
{
public:
    // args as main() received them: args[0] is the program, the rest are switches.
    explicit TBrevUtil(std::vector<std::string> args);
    static TBrevUtil FromMain(int argc, char** argv);

    // The directory of the executable, ending with '/'.
    std::string getstartdir() const;
    bool ReadCommandLine(const std::string& name, std::string& value) const;
    // The computer's NetBIOS-style name (see NetBiosName), as a network scan shows it.
    std::string CurrentHostName() const;
    std::string CurrentUserName() const;
    // The full host name and the first non-loopback IPv4 address (127.0.0.1 when none).
    void GetHostInfo(std::string& hostName, std::string& ipAddress) const;

    // For tests: a start directory other than the executable's.
    void SetStartDir(const std::string& dir);

private:
    std::vector<std::string> args_;
    std::string startDir_;
};

// The folder of the running program's file, ending with '/'. Throws std::runtime_error.
std::string ProgramDirectory();

// What Windows calls the computer's NetBIOS name: the host name up to its first dot, in
// upper case (ASCII letters only), at most 15 characters.
std::string NetBiosName(const std::string& hostName);

// Splits one argument into switch name and value; false when it is not a switch.
bool ParseSwitch(const std::string& arg, std::string& name, std::string& value, bool& hasValue);
