#pragma once

#include "platform/host/brevutil.h"
#include "shared/runlog.h"

#include <functional>
#include <memory>
#include <string>

class PrintSystem;
class QString;
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
    // A run whose status window exists from the start (shown unless /S).
    TClientRun(TMainClientFrm& mainForm, Tdbform& dbform);
    // A run with /S: the status window, and the application object with it, are made only
    // when something must be shown (a message, the add path). Until then printers are
    // connected through printSystem, which the window takes over when it is made.
    TClientRun(Tdbform& dbform, std::unique_ptr<PrintSystem> printSystem);
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

    TMainClientFrm& Form();
    PrintSystem& Printers();
    void SetStatus(const QString& text);
    // "connected", or why not (for the run log).
    std::string MapPrinter(const std::string& path);

    TMainClientFrm* MainClientFrm; // null until a silent run must show something
    Tdbform& dbform;
    std::unique_ptr<PrintSystem> sc;          // a silent run's, until its window is made
    std::unique_ptr<TMainClientFrm> madeForm; // goes after the dialog that it parents
    TRuleDetailsFrm& RuleDetailsForm();
    std::unique_ptr<TRuleDetailsFrm> RuleDetailsFrm;
};

// Keeps main's arguments for the application object, which is made when first needed.
void SetClientArguments(int& argc, char** argv);
// Makes the application object if there is none yet.
void EnsureApplication();

// Writes the rule query: rows whose RULENAME holds a '*' or equals the name (any case).
void BuildRuleQuery(RowSet& ruleQuery, const std::string& clientName);

// The program: creates the forms, runs the pass, and turns an error that ends the run into
// a message box, a line on standard error and exit code 1.
int RunWdClient(const TBrevUtil& brevUtil);

// The text of wdclient --help.
extern const char* const kClientUsage;
