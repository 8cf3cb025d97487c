#pragma once

#include "client/clientswitches.h"
#include "client/runplan.h"
#include "shared/runlog.h"

#include <functional>
#include <string>

class ClientView;
class DataModule;
class PrintSystem;

// One pass of the client: settle the name, open the database, plan the run and carry the
// plan out: every matching rule applied, or when none matched, nothing to do or the offer to
// add one. Shows through a view, so that the same pass runs with the status window and
// silently without any window toolkit.
class TClientRun
{
public:
    TClientRun(DataModule& dbform, ClientView& view, PrintSystem& printers,
               const ClientSwitches& switches);

    // Runs from the status window's showing to the end; returns the exit code (0). An error
    // that ends the run is logged and raised again.
    int Run();
    // After Run: the user is to be asked whether to add a rule, which this view cannot do
    // but the windows can; nothing has been done or logged.
    bool HandedToWindows() const { return handedToWindows_; }

    std::string ClientName;
    bool RuleMatched = false;
    // How the run waits while "nothing to do" is shown; tests record the wait instead.
    std::function<void(int milliseconds)> Pause;
    // Each action to the system log, the whole run to the database's run log.
    RunLog Log;

private:
    void CheckAndOffer();
    RunPlan CheckRules();
    // True when the user added a rule and the check should run again.
    bool EndWithoutMatch(const RunPlan& plan);
    void ApplyRule(const RulePlan& plan);
    void MapSlot(const RulePlan& rule, const SlotPlan& slot);
    void SetDefaultPrinter(const RulePlan& plan);
    void ClearNetworkPrinters(const std::string& rule);
    void MapPrinter(const RulePlan& rule, const SlotPlan& slot);
    // A message box, or where no window can be shown, what Say does.
    void Tell(const std::string& text);
    // The message on standard error and in the logs.
    void Say(const std::string& text);

    DataModule& dbform;
    ClientView& view;
    PrintSystem& printers;
    const ClientSwitches& switches;
    bool handedToWindows_ = false;
};

// "Error mapping <path> Does the printer still exist and have drivers associated???"
std::string MapErrorMessage(const std::string& path);

// The text of wdclient --help.
extern const char* const kClientUsage;
