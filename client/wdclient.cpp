#include "client/wdclient.h"

#include "client/clientview.h"
#include "client/runfacts.h"
#include "platform/print/printsystem.h"
#include "platform/smb/smbpath.h"
#include "shared/datamodule.h"

#include <chrono>
#include <iostream>
#include <thread>

const char* const kClientUsage =
    R"(Usage: wdclient [/S] [/CLIENTNAME=name] [/q] [/WHATIF [/OFFLINE]] [/NAME=value ...]

Connects the printers of every rule in the database whose computer-name pattern matches
this computer, removing the user's network printer connections first when the database says
so, and sets the default printer.

The database is the first of: the file that a wddata.conf in this program's folder names
(a line "database = PATH", relative to that folder), wddata.mdb in this program's folder,
the file that /etc/wendrell/wddata.conf names.

Switches (a switch is /NAME or -NAME, a value follows = or :, names ignore case, the first
occurrence wins; quote values with blanks: /CLIENTNAME="LAB 12"):
  /S                 do not show the status window
  /CLIENTNAME=name   test the rules against this name instead of the computer's name,
                     which is its NetBIOS-style name: the host name up to the first dot,
                     in upper case, at most 15 characters (as a network scan lists it)
  /q                 no message when a printer cannot be connected
  /WHATIF            do nothing: print what a run would do (rules, each printer slot,
                     whether its share answers as a printer share, the default printer)
                     on standard output; no window, no change to printers or database
  /OFFLINE           with /WHATIF: do not ask the print servers
  /NAME=value        gives the placeholder %NAME% in printer paths this value

Placeholders in printer paths, %NAME%, take in this order of precedence: a switch of that
name; the built-in names USERNAME, IPADDRESS, HOSTNAME, DATE (short date), TIME (long time),
STARTDIR (this program's folder); an environment variable; else nothing.

Every action goes to the system log (ident wdclient), and where the database may be written
and has a run-log table, the run's outcome is recorded there (wdConfig: "Last runs").

Where no window can be shown (no display), the messages go to standard error instead, and
the run goes on as with /S.

Exit codes:
  0  the run ended in order (rules applied, nothing to do, or the user declined)
  1  an error ended the run (no database, wrong password, ...); its message is shown and
     printed on standard error
)";
std::string MapErrorMessage(const std::string& path)
{
    return "Error mapping " + path + " Does the printer still exist and have drivers associated???";
}

TClientRun::TClientRun(DataModule& dbform, ClientView& view, PrintSystem& printers,
                       const ClientSwitches& switches)
    : Pause([](int milliseconds) {
          std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
      }),
      dbform(dbform), view(view), printers(printers), switches(switches)
{
}

void TClientRun::Tell(const std::string& text)
{
    if (!view.ShowMessage(text))
        Say(text);
}

void TClientRun::Say(const std::string& text)
{
    std::cerr << "wdclient: " << text << std::endl;
    Log.Action("", "message", text);
}

int TClientRun::Run()
{
    ClientName = switches.Computer(dbform.BrevUtil1);
    Log.SetWho(ClientName, dbform.BrevUtil1.CurrentUserName());
    try {
        CheckAndOffer();
    } catch (const std::exception& e) {
        Log.Error(e.what());
        Log.Store(dbform.ADOConnection);
        throw;
    }
    if (!handedToWindows_)
        Log.Store(dbform.ADOConnection);
    return 0;
}

void TClientRun::CheckAndOffer()
{
    view.SetStatus("Connecting to Database");
    dbform.SetConnection(true);
    for (;;) {
        const RunPlan plan = CheckRules();
        if (RuleMatched || !EndWithoutMatch(plan))
            return;
    }
}

RunPlan TClientRun::CheckRules()
{
    view.SetStatus("Checking Rules");
    const RunPlan plan =
        PlanRun(ReadRunFacts(dbform, ClientName, dbform.BrevUtil1.CurrentUserName()));
    RuleMatched = !plan.rules.empty();
    for (const RulePlan& rule : plan.rules) {
        view.SetStatus("Found Matching Rule: " + rule.name);
        Log.Matched(rule.name, rule.active, rule.notHere);
        if (rule.active && rule.notHere.empty())
            ApplyRule(rule);
    }
    return plan;
}

bool TClientRun::EndWithoutMatch(const RunPlan& plan)
{
    switch (plan.noMatch) {
    case NoMatch::NothingToDo:
    case NoMatch::ReadOnly:
        view.SetStatus("No Rules Found. Nothing to Do");
        Pause(3000);
        break;
    case NoMatch::NotStorable:
        Tell("No printer rule matches this computer, and none can be added: " +
             plan.whyNotStorable + ". Give the name with /CLIENTNAME=name.");
        break;
    case NoMatch::OfferToAdd:
        switch (view.OfferToAddRule(ClientName)) {
        case AddRuleAnswer::Added:
            return true;
        case AddRuleAnswer::NotAdded:
            break;
        case AddRuleAnswer::NeedsWindows:
            handedToWindows_ = true;
            return false;
        case AddRuleAnswer::NoWindow:
            Say("No Matching Printer Rule is found for this computer, and no window can be "
                "shown to ask whether to add one.");
            break;
        }
        break;
    }
    // The user declined, or could not be asked: nothing to do all the same.
    Log.Action("", "no rule matches",
               plan.noMatch == NoMatch::OfferToAdd ? Words(NoMatch::NothingToDo)
                                                   : Words(plan.noMatch, plan.whyNotStorable));
    return false;
}

void TClientRun::ApplyRule(const RulePlan& plan)
{
    view.SetStatus("Mapping Printers in Rule");
    // The servers are asked at once, while the current printers are cleared.
    std::vector<std::string> paths;
    for (const SlotPlan& slot : plan.slotPlans)
        if (slot.action == SlotAction::Connect)
            paths.push_back(slot.path);
    printers.Prepare(paths, plan.logon);
    if (plan.clearFirst) {
        view.SetStatus("Clearing Current Printers");
        ClearNetworkPrinters(plan.name);
    }
    for (const SlotPlan& slot : plan.slotPlans)
        MapSlot(plan, slot);
    view.SetStatus("Setting Default Printer");
    SetDefaultPrinter(plan);
}

void TClientRun::MapSlot(const RulePlan& rule, const SlotPlan& slot)
{
    switch (slot.action) {
    case SlotAction::SkipNotListed:
    case SlotAction::SkipUnavailable:
        break;
    case SlotAction::SkipNone:
        view.ProcessEvents();
        break;
    case SlotAction::Connect:
        view.SetStatusText("Connecting to: " + slot.shown);
        view.ProcessEvents();
        MapPrinter(rule, slot);
        return;
    }
    Log.Action(rule.name, "slot " + std::to_string(slot.slot) + " " + slot.stored,
               Words(slot.action));
}

void TClientRun::MapPrinter(const RulePlan& rule, const SlotPlan& slot)
{
    const std::string what = "slot " + std::to_string(slot.slot) + " " + slot.path;
    try {
        printers.Connect(slot.path, {slot.driver, rule.logon});
        Log.Action(rule.name, what, Words(ActionResult::Connected));
    } catch (const std::exception& e) {
        Log.Action(rule.name, what, FailureWords(e), true);
        // Without a window the slot's line in the logs already says why.
        if (!switches.quiet && !view.ReportMapError(slot.path, e))
            std::cerr << "wdclient: " << MapErrorMessage(slot.path) << " " << e.what() << std::endl;
    }
}

void TClientRun::SetDefaultPrinter(const RulePlan& plan)
{
    if (plan.defaultSlot == 0)
        return;
    const std::string what = "default " + plan.defaultPath;
    try {
        printers.SetDefault(plan.defaultPath);
        Log.Action(plan.name, what, Words(ActionResult::DefaultSet));
    } catch (const PrintError& e) {
        // As with the removals, no message: only the log says so.
        Log.Action(plan.name, what, FailureWords(e), true);
    }
}

void TClientRun::ClearNetworkPrinters(const std::string& rule)
{
    std::vector<std::string> installed;
    try {
        installed = printers.InstalledPrinters();
    } catch (const PrintError& e) {
        // No printing system to ask: nothing to clear; each connection reports its own error.
        Log.Action(rule, "clear", FailureWords(e), true);
        return;
    }
    for (const std::string& name : installed) {
        if (!IsNetworkPath(name))
            continue;
        try {
            printers.Remove(name);
            Log.Action(rule, "remove " + name, Words(ActionResult::Removed));
        } catch (const PrintError& e) {
            // Not read back: the next connection or the next logon settles it.
            Log.Action(rule, "remove " + name, FailureWords(e), true);
        }
    }
}
