#pragma once

#include <string>

class TBrevUtil;
struct ClientSwitches;

// The client's windows, as a silent run reaches them: from the module libwdclientui.so,
// loaded only when something must be shown, so that a silent logon never maps the window
// toolkit.
class ClientUi
{
public:
    virtual ~ClientUi() = default;

    // Whether a window can be shown here (a display the toolkit reaches); the first call
    // that finds none says why on standard error.
    virtual bool CanShowWindows() = 0;
    // The whole run with its windows, as main would run it; argc and argv go to the
    // application object.
    virtual int Run(const TBrevUtil& brevUtil, const ClientSwitches& switches, int& argc,
                    char** argv) = 0;
    // Each of these is false when no window could show it.
    // The message of a printer that could not be connected.
    virtual bool ReportMapError(const std::string& path, const std::string& error) = 0;
    // The message of an error that ended the run.
    virtual bool ReportError(const std::string& message) = 0;
};

// The module's entry point: one object for the process.
extern "C" ClientUi* wd_client_ui();
