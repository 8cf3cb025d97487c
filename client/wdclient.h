#pragma once

#include "platform/host/brevutil.h"
#include "shared/runlog.h"

#include <functional>
#include <string>

class ClientView;
class DataModule;
class PrintSystem;
class RowSet;
struct RulePlan;
struct SlotPlan;

// One pass of the client: settle the name, open the database, apply every matching rule,
// and when none matched, report it or offer to add one. Shows through a view, so that the
// same pass runs with the status window and silently without any window toolkit.
class TClientRun
{
public:
    TClientRun(DataModule& dbform, ClientView& view, PrintSystem& printers);

    // Runs from the status window's showing to the end; returns the exit code (0).
    int Run();

    std::string ClientName;
    bool RuleMatched = false;
    // How the run waits while "nothing to do" is shown; tests record the wait instead.
    std::function<void(int milliseconds)> Pause;
    // Each action to the system log, the whole run to the database's run log.
    RunLog Log;

private:
    void CheckRules();
    // True when the user added a rule and the check should run again.
    bool OfferToAddRule();
    static std::string WhyNotStorable(const std::string& name);
    // A message box, or where no window can be shown, what Say does.
    void Tell(const std::string& text);
    // The message on standard error and in the logs.
    void Say(const std::string& text);
    void CheckAndOffer();
    void ApplyRule(const RulePlan& plan);
    void MapSlot(const std::string& rule, const SlotPlan& slot);
    void SetDefaultPrinter(const RulePlan& plan);
    void ClearNetworkPrinters(const std::string& rule);
    bool Switch(const char* name) const;
    // "connected", or why not (for the run log).
    std::string MapPrinter(const std::string& path);

    DataModule& dbform;
    ClientView& view;
    PrintSystem& printers;
};

// Writes the rule query: rows whose RULENAME holds a '*' or equals the name (any case).
void BuildRuleQuery(RowSet& ruleQuery, const std::string& clientName);

// "Error mapping <path> Does the printer still exist and have drivers associated???"
std::string MapErrorMessage(const std::string& path);

// Connects one printer (already expanded) through printers, report(error) told of a
// failure: "connected", "skipped: None", or why not (for the run log).
std::string ConnectPrinter(PrintSystem& printers, const std::string& path,
                           const std::function<void(const std::exception&)>& report);

// The text of wdclient --help.
extern const char* const kClientUsage;
