#pragma once

#include <exception>
#include <string>

// What a client run shows: the status window, or nothing at all in a silent run, which
// starts no window toolkit until a message must be shown.
class ClientView
{
public:
    virtual ~ClientView() = default;

    // Replaces the whole status text and lets the window repaint.
    virtual void SetStatus(const std::string& text) = 0;
    // Replaces the status text only.
    virtual void SetStatusText(const std::string& text) = 0;
    // Lets the window repaint between slow steps.
    virtual void ProcessEvents() = 0;
    // A printer that could not be connected (the caller has checked the switch q).
    virtual void ReportMapError(const std::string& path, const std::exception& error) = 0;
    // No rule matched: asks whether to add one and, if so, runs the rule details form for
    // the computer's name. True when a rule was added.
    virtual bool OfferToAddRule(const std::string& clientName) = 0;
    // A message box with the run's caption.
    virtual void ShowMessage(const std::string& text) = 0;
};
