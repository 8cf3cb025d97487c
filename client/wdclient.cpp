#include "client/wdclient.h"

#include "client/clientMain.h"
#include "client/uncmap.h"
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
  /NAME=value        gives the placeholder %NAME% in printer paths this value

Placeholders in printer paths, %NAME%, take in this order of precedence: a switch of that
name; the built-in names USERNAME, IPADDRESS, HOSTNAME, DATE (short date), TIME (long time),
STARTDIR (this program's folder); an environment variable; else nothing.

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

void TClientRun::MapPrinter(const std::string& path)
{
    if (MainClientFrm)
        return MainClientFrm->MapPrinter(path);
    if (UpperCaseAscii(path) == "NONE")
        return;
    try {
        sc->Connect(path);
    } catch (const std::exception& e) {
        std::string ignored;
        if (!dbform.BrevUtil1.ReadCommandLine("q", ignored))
            Form().ReportMapError(path, e);
    }
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
    if (MainClientFrm && dbform.BrevUtil1.ReadCommandLine("S", ignored))
        MainClientFrm->hide();
    else if (MainClientFrm)
        MainClientFrm->show();
    if (!dbform.BrevUtil1.ReadCommandLine("CLIENTNAME", ClientName))
        ClientName = dbform.BrevUtil1.CurrentHostName();

    SetStatus("Connecting to Database");
    dbform.SetConnection(true);
    do {
        CheckRules();
    } while (!RuleMatched && OfferToAddRule());
    return 0;
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
    RowSet& q = dbform.RuleQuery;
    BuildRuleQuery(q, ClientName);
    q.Open();
    RuleMatched = false;
    for (q.First(); !q.Eof(); q.Next()) {
        std::string ruleName = q.FieldByName("RULENAME").AsString();
        if (!RuleNameMatches(ruleName, ClientName))
            continue;
        RuleMatched = true;
        SetStatus(QString::fromStdString("Found Matching Rule: " + ruleName));
        if (q.FieldByName("ACTIVE").AsBoolean())
            ApplyRule();
    }
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
    EnsureApplication();
    Interaction::Message question;
    question.text = "No Matching Printer Rule is found for this computer. Do you wish to add one?";
    question.caption = "WDCLIENT";
    question.buttons = QMessageBox::Yes | QMessageBox::No;
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

std::string TClientRun::Expand(const std::string& text) const
{
    return ExpandVariables(text, dbform.BrevUtil1);
}

void TClientRun::ApplyRule()
{
    SetStatus("Mapping Printers in Rule");
    // The servers are asked at once, while the current printers are cleared.
    Printers().Prepare(RulePrinters());
    if (dbform.ConfigTable.FieldByName("ClearPrintersFirst").AsBoolean()) {
        SetStatus("Clearing Current Printers");
        ClearNetworkPrinters();
    }
    for (int slot = 1; slot <= 4; ++slot)
        MapSlot(slot);
    SetStatus("Setting Default Printer");
    SetDefaultPrinter();
}

std::optional<std::string> TClientRun::AvailablePrinter(int slot)
{
    std::string stored = dbform.RuleQuery.FieldByName("UNCPath" + std::to_string(slot)).AsString();
    RowSet& printers = dbform.printerstable;
    if (!printers.Locate("UNCNAME", stored) || !printers.FieldByName("Available").AsBoolean())
        return std::nullopt;
    return printers.FieldByName("UNCNAME").AsString();
}

std::vector<std::string> TClientRun::RulePrinters()
{
    std::vector<std::string> paths;
    for (int slot = 1; slot <= 4; ++slot)
        if (const auto printer = AvailablePrinter(slot))
            if (std::string path = Expand(*printer); UpperCaseAscii(path) != "NONE")
                paths.push_back(std::move(path));
    return paths;
}

void TClientRun::MapSlot(int slot)
{
    const auto printer = AvailablePrinter(slot);
    if (!printer)
        return;
    std::string stored = dbform.RuleQuery.FieldByName("UNCPath" + std::to_string(slot)).AsString();
    if (MainClientFrm && UpperCaseAscii(stored) != "NONE")
        MainClientFrm->SetStatusText(QString::fromStdString("Connecting to: " + Expand(stored)));
    if (MainClientFrm)
        QApplication::processEvents();
    // Connected by the printers row's own text; the status shows the rule's.
    MapPrinter(Expand(*printer));
}

void TClientRun::SetDefaultPrinter()
{
    long long slot = dbform.RuleQuery.FieldByName("Default").AsInteger();
    if (slot < 1 || slot > 4)
        return;
    std::string path =
        Expand(dbform.RuleQuery.FieldByName("UNCPath" + std::to_string(slot)).AsString());
    try {
        Printers().SetDefault(path);
    } catch (const PrintError&) {
        // As with the removals, the outcome of setting the default is not read back.
    }
}

void TClientRun::ClearNetworkPrinters()
{
    std::vector<std::string> installed;
    try {
        installed = Printers().InstalledPrinters();
    } catch (const PrintError&) {
        // No printing system to ask: nothing to clear; each connection reports its own error.
        return;
    }
    for (const std::string& name : installed) {
        if (!IsNetworkPath(name))
            continue;
        try {
            Printers().Remove(name);
        } catch (const PrintError&) {
            // Not read back: the next connection or the next logon settles it.
        }
    }
}

int RunWdClient(const TBrevUtil& brevUtil)
{
    QApplication::setApplicationName("KELVANE Wendrell Client");
    std::string ignored;
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
