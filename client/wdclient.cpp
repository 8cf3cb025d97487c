#include "client/wdclient.h"

#include "client/clientview.h"
#include "client/runplan.h"
#include "platform/host/textutil.h"
#include "platform/print/printsystem.h"
#include "platform/smb/smbpath.h"
#include "shared/datamodule.h"

#include <chrono>
#include <iostream>
#include <thread>

const char* const kClientUsage = R"(Usage: wdclient [/S] [/CLIENTNAME=name] [/q] [/WHATIF [/OFFLINE]] [/NAME=value ...]

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

std::string ConnectPrinter(PrintSystem& printers, const std::string& path,
                           const std::function<void(const std::exception&)>& report)
{
    if (UpperCaseAscii(path) == "NONE")
        return "skipped: None";
    try {
        printers.Connect(path);
        return "connected";
    } catch (const std::exception& e) {
        report(e);
        return FailureResult(e);
    }
}

TClientRun::TClientRun(DataModule& dbform, ClientView& view, PrintSystem& printers)
    : Pause([](int milliseconds) {
          std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
      }),
      dbform(dbform), view(view), printers(printers)
{
}

bool TClientRun::Switch(const char* name) const
{
    std::string ignored;
    return dbform.BrevUtil1.ReadCommandLine(name, ignored);
}

std::string TClientRun::MapPrinter(const std::string& path)
{
    return ConnectPrinter(printers, path, [&](const std::exception& e) {
        // Without a window the slot's line in the logs already says why.
        if (!Switch("q") && !view.ReportMapError(path, e))
            std::cerr << "wdclient: " << MapErrorMessage(path) << " " << e.what() << std::endl;
    });
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
    if (!dbform.BrevUtil1.ReadCommandLine("CLIENTNAME", ClientName))
        ClientName = dbform.BrevUtil1.CurrentHostName();

    Log.SetWho(ClientName, dbform.BrevUtil1.CurrentUserName());
    try {
        CheckAndOffer();
    } catch (const std::exception& e) {
        Log.Error(e.what());
        Log.Store(dbform.ADOConnection);
        throw;
    }
    if (!RuleMatched)
        Log.Action("", "no rule matches", "nothing to do");
    Log.Store(dbform.ADOConnection);
    return 0;
}

void TClientRun::CheckAndOffer()
{
    view.SetStatus("Connecting to Database");
    dbform.SetConnection(true);
    do {
        CheckRules();
    } while (!RuleMatched && OfferToAddRule());
}

void BuildRuleQuery(RowSet& q, const std::string& clientName)
{
    q.Close();
    q.SQL().clear();
    q.SQL().push_back("Select *");
    q.SQL().push_back("from MapRules");
    // The name is bound, never spliced into the text.
    q.SQL().push_back("where RULENAME LIKE '%*%' or RULENAME=:ClientName");
    q.SQL().push_back("order by RULENAME;");
    q.SetParameter("ClientName", Value::Text(clientName));
}

void TClientRun::CheckRules()
{
    view.SetStatus("Checking Rules");
    RuleMatched = VisitMatchingRules(dbform.RuleQuery, ClientName, [this](const RuleRow& rule) {
        view.SetStatus("Found Matching Rule: " + rule.name);
        Log.Matched(rule.name, rule.active);
        if (rule.active)
            ApplyRule(PlanRule(rule, PlanSourcesOf(dbform)));
    });
}

bool TClientRun::OfferToAddRule()
{
    // A database this user may not write takes no rule: asking would fail at every logon.
    if (!dbform.Options().allowClientSelection || !dbform.Writable()) {
        view.SetStatus("No Rules Found. Nothing to Do");
        Pause(3000);
        return false;
    }
    if (const std::string why = WhyNotStorable(ClientName); !why.empty()) {
        const std::string text =
            "No printer rule matches this computer, and none can be added: " + why +
            ". Give the name with /CLIENTNAME=name.";
        // A silent run says it without a window.
        Switch("S") ? Say(text) : Tell(text);
        return false;
    }
    switch (view.OfferToAddRule(ClientName)) {
    case AddRuleAnswer::Added:
        return true;
    case AddRuleAnswer::NotAdded:
        return false;
    case AddRuleAnswer::NoWindow:
        break;
    }
    Say("No Matching Printer Rule is found for this computer, and no window can be shown to "
        "ask whether to add one.");
    return false;
}

// A name the add path could not store as a rule that ever matches: it would be asked again
// at once, and a junk rule added each time.
std::string TClientRun::WhyNotStorable(const std::string& name)
{
    if (name.empty())
        return "the computer name is empty";
    if (!IsValidUtf8(name))
        return "the computer name is not valid UTF-8 text";
    return "";
}

void TClientRun::ApplyRule(const RulePlan& plan)
{
    view.SetStatus("Mapping Printers in Rule");
    // The servers are asked at once, while the current printers are cleared.
    std::vector<std::string> paths;
    for (const SlotPlan& slot : plan.slotPlans)
        if (slot.action == SlotAction::Connect)
            paths.push_back(slot.path);
    printers.Prepare(paths);
    if (plan.clearFirst) {
        view.SetStatus("Clearing Current Printers");
        ClearNetworkPrinters(plan.name);
    }
    for (const SlotPlan& slot : plan.slotPlans)
        MapSlot(plan.name, slot);
    view.SetStatus("Setting Default Printer");
    SetDefaultPrinter(plan);
}

void TClientRun::MapSlot(const std::string& rule, const SlotPlan& slot)
{
    const std::string what = "slot " + std::to_string(slot.slot) + " ";
    switch (slot.action) {
    case SlotAction::SkipNotListed:
    case SlotAction::SkipUnavailable:
        Log.Action(rule, what + slot.stored, SkipReason(slot.action));
        return;
    case SlotAction::SkipNone:
        view.ProcessEvents();
        Log.Action(rule, what + slot.stored, SkipReason(slot.action));
        return;
    case SlotAction::Connect:
        break;
    }
    view.SetStatusText("Connecting to: " + slot.shown);
    view.ProcessEvents();
    const std::string result = MapPrinter(slot.path);
    Log.Action(rule, what + slot.path, result, result != "connected");
}

void TClientRun::SetDefaultPrinter(const RulePlan& plan)
{
    if (plan.defaultSlot == 0)
        return;
    const std::string what = "default " + plan.defaultPath;
    try {
        printers.SetDefault(plan.defaultPath);
        Log.Action(plan.name, what, "set");
    } catch (const PrintError& e) {
        // As with the removals, no message: only the log says so.
        Log.Action(plan.name, what, FailureResult(e), true);
    }
}

void TClientRun::ClearNetworkPrinters(const std::string& rule)
{
    std::vector<std::string> installed;
    try {
        installed = printers.InstalledPrinters();
    } catch (const PrintError& e) {
        // No printing system to ask: nothing to clear; each connection reports its own error.
        Log.Action(rule, "clear", FailureResult(e), true);
        return;
    }
    for (const std::string& name : installed) {
        if (!IsNetworkPath(name))
            continue;
        try {
            printers.Remove(name);
            Log.Action(rule, "remove " + name, "removed");
        } catch (const PrintError& e) {
            // Not read back: the next connection or the next logon settles it.
            Log.Action(rule, "remove " + name, FailureResult(e), true);
        }
    }
}
