#pragma once

#include "platform/host/brevutil.h"
#include "shared/runlog.h"

#include <functional>
#include <memory>
#include <string>

class RowSet;
struct RulePlan;
struct SlotPlan;
class TMainClientFrm;
class TRuleDetailsFrm;
class Tdbform;

// One pass of the client: settle the name, open the database, apply every matching rule,
// and when none matched, report it or offer to add one.
class TClientRun
{
public:
    TClientRun(TMainClientFrm& mainForm, Tdbform& dbform);
    ~TClientRun();

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
    void ReportUnstorableName(const std::string& why);
    void CheckAndOffer();
    void ApplyRule(const RulePlan& plan);
    void MapSlot(const std::string& rule, const SlotPlan& slot);
    void SetDefaultPrinter(const RulePlan& plan);
    void ClearNetworkPrinters(const std::string& rule);

    TMainClientFrm& MainClientFrm;
    Tdbform& dbform;
    TRuleDetailsFrm& RuleDetailsForm();
    std::unique_ptr<TRuleDetailsFrm> RuleDetailsFrm;
};

// Writes the rule query: rows whose RULENAME holds a '*' or equals the name (any case).
void BuildRuleQuery(RowSet& ruleQuery, const std::string& clientName);

// The program: creates the forms, runs the pass, and turns an error that ends the run into
// a message box, a line on standard error and exit code 1.
int RunWdClient(const TBrevUtil& brevUtil);

// The text of wdclient --help.
extern const char* const kClientUsage;
