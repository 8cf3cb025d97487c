#pragma once

#include <exception>
#include <string>

// How the add path ended: a rule stored, the user declined, no window could ask, or this
// view cannot ask but the windows can.
enum class AddRuleAnswer { Added, NotAdded, NoWindow, NeedsWindows };

// What a client run shows: the status window, or nothing at all in a silent run, which
// starts no window toolkit until a message must be shown. Where no window can be shown (no
// display), the calls that would show one say so, and the run tells it another way.
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
    // A printer that could not be connected (the caller has checked the switch q). False
    // when no window could show it.
    virtual bool ReportMapError(const std::string& path, const std::exception& error) = 0;
    // No rule matched: asks whether to add one and, if so, runs the rule details form for
    // the computer's name.
    virtual AddRuleAnswer OfferToAddRule(const std::string& clientName) = 0;
    // A message box with the run's caption; false when no window could show it.
    virtual bool ShowMessage(const std::string& text) = 0;
};
