#include "client/wdclient.h"

#include "client/clientMain.h"
#include "client/runplan.h"
#include "client/uncmap.h"
#include "client/whatif.h"
#include "platform/dbwidgets/dbedit.h"
#include "platform/host/textutil.h"
#include "platform/print/printsystem.h"
#include "platform/smb/smbpath.h"
#include "platform/ui/interaction.h"
#include "shared/dbformmain.h"
#include "shared/ruledetails.h"

#include <QApplication>
#include <chrono>
#include <iostream>
#include <thread>

const char* const kClientUsage = R"(Usage: wdclient [/S] [/CLIENTNAME=name] [/q] [/NAME=value ...]

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

Exit codes:
  0  the run ended in order (rules applied, nothing to do, or the user declined)
  1  an error ended the run (no database, wrong password, ...); its message is shown and
     printed on standard error
)";

namespace
{

void Wait(int milliseconds)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

struct Arguments {
    int* argc = nullptr;
    char** argv = nullptr;
};

Arguments& ClientArguments()
{
    static Arguments arguments;
    return arguments;
}

} // namespace

void SetClientArguments(int& argc, char** argv)
{
    ClientArguments() = {&argc, argv};
}

void EnsureApplication()
{
    if (QCoreApplication::instance())
        return;
    static int argc = 1;
    static char name[] = "wdclient";
    static char* argv[] = {name, nullptr};
    Arguments& given = ClientArguments();
    // Lives until the process ends, as the client's forms do.
    new QApplication(given.argc ? *given.argc : argc, given.argc ? given.argv : argv);
}

TClientRun::TClientRun(TMainClientFrm& mainForm, Tdbform& dbform)
    : Pause(Wait), MainClientFrm(&mainForm), dbform(dbform)
{
}

TClientRun::TClientRun(Tdbform& dbform, std::unique_ptr<PrintSystem> printSystem)
    : Pause(Wait), MainClientFrm(nullptr), dbform(dbform), sc(std::move(printSystem))
{
}

TClientRun::~TClientRun() = default;

TMainClientFrm& TClientRun::Form()
{
    if (!MainClientFrm) {
        EnsureApplication();
        madeForm = std::make_unique<TMainClientFrm>(std::move(sc));
        madeForm->SetDataModule(&dbform);
        MainClientFrm = madeForm.get();
    }
    return *MainClientFrm;
}

PrintSystem& TClientRun::Printers()
{
    return MainClientFrm ? *MainClientFrm->sc : *sc;
}

void TClientRun::SetStatus(const QString& text)
{
    // Nobody would see it: a silent run makes no window for it.
    if (MainClientFrm)
        MainClientFrm->SetStatus(text);
}

std::string TClientRun::MapPrinter(const std::string& path)
{
    return ConnectPrinter(Printers(), path, [&](const std::exception& e) {
        // A silent run makes its window, and the application object, only for a message.
        std::string ignored;
        if (!dbform.BrevUtil1.ReadCommandLine("q", ignored))
            Form().ReportMapError(path, e);
    });
}

TRuleDetailsFrm& TClientRun::RuleDetailsForm()
{
    // Made when the add path first needs it: building it loads the fonts and binds the
    // whole rules table, which a run that finds its rule never needs.
    if (!RuleDetailsFrm)
        RuleDetailsFrm = std::make_unique<TRuleDetailsFrm>(dbform, &Form());
    return *RuleDetailsFrm;
}

int TClientRun::Run()
{
    std::string ignored;
    if (MainClientFrm)
        MainClientFrm->setVisible(!dbform.BrevUtil1.ReadCommandLine("S", ignored));
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
    SetStatus("Connecting to Database");
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
    SetStatus("Checking Rules");
    RuleMatched = VisitMatchingRules(dbform.RuleQuery, ClientName, [this](const RuleRow& rule) {
        SetStatus(QString::fromStdString("Found Matching Rule: " + rule.name));
        Log.Matched(rule.name, rule.active);
        if (rule.active)
            ApplyRule(PlanRule(rule, PlanSourcesOf(dbform)));
    });
}

bool TClientRun::OfferToAddRule()
{
    if (!dbform.ConfigTable.FieldByName("AllowClientSelection").AsBoolean()) {
        SetStatus("No Rules Found. Nothing to Do");
        Pause(3000);
        return false;
    }
    if (const std::string why = WhyNotStorable(ClientName); !why.empty()) {
        ReportUnstorableName(why);
        return false;
    }
    Interaction::Message question;
    question.text = "No Matching Printer Rule is found for this computer. Do you wish to add one?";
    question.caption = "WDCLIENT";
    question.buttons = QMessageBox::Yes | QMessageBox::No;
    EnsureApplication();
    if (Interaction::ShowMessage(nullptr, question) != QMessageBox::Yes)
        return false;
    dbform.MapRulesTable.Append();
    TRuleDetailsFrm& form = RuleDetailsForm();
    form.computername->setText(QString::fromStdString(ClientName));
    form.computername->setEnabled(false);
    return form.ShowModal() == 1;
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

void TClientRun::ReportUnstorableName(const std::string& why)
{
    const std::string text =
        "No printer rule matches this computer, and none can be added: " + why +
        ". Give the name with /CLIENTNAME=name.";
    std::string ignored;
    if (dbform.BrevUtil1.ReadCommandLine("S", ignored)) {
        std::cerr << "wdclient: " << text << std::endl;
        return;
    }
    EnsureApplication();
    Interaction::Message message;
    message.text = QString::fromStdString(text);
    message.caption = "WDCLIENT";
    Interaction::ShowMessage(nullptr, message);
}

void TClientRun::ApplyRule(const RulePlan& plan)
{
    SetStatus("Mapping Printers in Rule");
    // The servers are asked at once, while the current printers are cleared.
    std::vector<std::string> paths;
    for (const SlotPlan& slot : plan.slotPlans)
        if (slot.action == SlotAction::Connect)
            paths.push_back(slot.path);
    Printers().Prepare(paths);
    if (plan.clearFirst) {
        SetStatus("Clearing Current Printers");
        ClearNetworkPrinters(plan.name);
    }
    for (const SlotPlan& slot : plan.slotPlans)
        MapSlot(plan.name, slot);
    SetStatus("Setting Default Printer");
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
        if (MainClientFrm)
            QApplication::processEvents();
        Log.Action(rule, what + slot.stored, SkipReason(slot.action));
        return;
    case SlotAction::Connect:
        break;
    }
    if (MainClientFrm) {
        MainClientFrm->SetStatusText(QString::fromStdString("Connecting to: " + slot.shown));
        QApplication::processEvents();
    }
    const std::string result = MapPrinter(slot.path);
    Log.Action(rule, what + slot.path, result, result != "connected");
}

void TClientRun::SetDefaultPrinter(const RulePlan& plan)
{
    if (plan.defaultSlot == 0)
        return;
    const std::string what = "default " + plan.defaultPath;
    try {
        Printers().SetDefault(plan.defaultPath);
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
        installed = Printers().InstalledPrinters();
    } catch (const PrintError& e) {
        // No printing system to ask: nothing to clear; each connection reports its own error.
        Log.Action(rule, "clear", FailureResult(e), true);
        return;
    }
    for (const std::string& name : installed) {
        if (!IsNetworkPath(name))
            continue;
        try {
            Printers().Remove(name);
            Log.Action(rule, "remove " + name, "removed");
        } catch (const PrintError& e) {
            // Not read back: the next connection or the next logon settles it.
            Log.Action(rule, "remove " + name, FailureResult(e), true);
        }
    }
}

int RunWdClient(const TBrevUtil& brevUtil)
{
    QApplication::setApplicationName("KELVANE Wendrell Client");
    std::string ignored;
    if (brevUtil.ReadCommandLine("WHATIF", ignored))
        return RunWhatIf(brevUtil, std::cout, std::cerr);
    try {
        if (brevUtil.ReadCommandLine("S", ignored)) {
            // The printing module loads while the database is opened and the rules read.
            std::unique_ptr<PrintSystem> printSystem = CreatePrintSystem();
            Tdbform dbform(brevUtil);
            return TClientRun(dbform, std::move(printSystem)).Run();
        }
        EnsureApplication();
        TMainClientFrm MainClientFrm;
        Tdbform dbform(brevUtil);
        MainClientFrm.SetDataModule(&dbform);
        return TClientRun(MainClientFrm, dbform).Run();
    } catch (const std::exception& e) {
        std::cerr << "wdclient: " << e.what() << std::endl;
        EnsureApplication();
        Interaction::ReportError(nullptr, e);
        return 1;
    }
}
