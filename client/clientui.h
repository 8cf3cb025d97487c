#pragma once

#include <string>

class TBrevUtil;

// The client's windows, as a silent run reaches them: from the module libwdclientui.so,
// loaded only when something must be shown, so that a silent logon never maps the window
// toolkit.
class ClientUi
{
public:
    virtual ~ClientUi() = default;

    // The whole run with its windows, as main would run it; argc and argv go to the
    // application object.
    virtual int Run(const TBrevUtil& brevUtil, int& argc, char** argv) = 0;
    // The message of a printer that could not be connected.
    virtual void ReportMapError(const std::string& path, const std::string& error) = 0;
    // A message box with the client's caption.
    virtual void ShowMessage(const std::string& text) = 0;
    // The message of an error that ended the run.
    virtual void ReportError(const std::string& message) = 0;
};

// The module's entry point: one object for the process.
extern "C" ClientUi* wd_client_ui();
