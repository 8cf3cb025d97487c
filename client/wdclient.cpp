#include "client/wdclient.h"

#include "client/clientMain.h"
#include "client/uncmap.h"
#include "platform/dbwidgets/dbedit.h"
#include "platform/host/textutil.h"
#include "platform/smb/smbpath.h"
#include "platform/ui/interaction.h"
#include "shared/dbformmain.h"
#include "shared/ruledetails.h"

#include <QApplication>
#include <QThread>
#include <iostream>

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

TClientRun::TClientRun(TMainClientFrm& mainForm, Tdbform& dbform)
    : Pause([](int milliseconds) { QThread::msleep(milliseconds); }), MainClientFrm(mainForm),
      dbform(dbform)
{
}

TClientRun::~TClientRun() = default;

TRuleDetailsFrm& TClientRun::RuleDetailsForm()
{
    // Made when the add path first needs it: building it loads the fonts and binds the
    // whole rules table, which a run that finds its rule never needs.
    if (!RuleDetailsFrm)
        RuleDetailsFrm = std::make_unique<TRuleDetailsFrm>(dbform, &MainClientFrm);
    return *RuleDetailsFrm;
}

int TClientRun::Run()
{
    std::string ignored;
    if (dbform.BrevUtil1.ReadCommandLine("S", ignored))
        MainClientFrm.hide();
    else
        MainClientFrm.show();
    if (!dbform.BrevUtil1.ReadCommandLine("CLIENTNAME", ClientName))
        ClientName = dbform.BrevUtil1.CurrentHostName();

    MainClientFrm.SetStatus("Connecting to Database");
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
    MainClientFrm.SetStatus("Checking Rules");
    RowSet& q = dbform.RuleQuery;
    BuildRuleQuery(q, ClientName);
    q.Open();
    RuleMatched = false;
    for (q.First(); !q.Eof(); q.Next()) {
        std::string ruleName = q.FieldByName("RULENAME").AsString();
        if (!RuleNameMatches(ruleName, ClientName))
            continue;
        RuleMatched = true;
        MainClientFrm.SetStatus(QString::fromStdString("Found Matching Rule: " + ruleName));
        if (q.FieldByName("ACTIVE").AsBoolean())
            ApplyRule();
    }
}

bool TClientRun::OfferToAddRule()
{
    if (!dbform.ConfigTable.FieldByName("AllowClientSelection").AsBoolean()) {
        MainClientFrm.SetStatus("No Rules Found. Nothing to Do");
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
    const std::string text = "No printer rule matches this computer, and none can be added: " +
                             why + ". Give the name with /CLIENTNAME=name.";
    std::string ignored;
    if (dbform.BrevUtil1.ReadCommandLine("S", ignored)) {
        std::cerr << "wdclient: " << text << std::endl;
        return;
    }
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
    MainClientFrm.SetStatus("Mapping Printers in Rule");
    if (dbform.ConfigTable.FieldByName("ClearPrintersFirst").AsBoolean()) {
        MainClientFrm.SetStatus("Clearing Current Printers");
        ClearNetworkPrinters();
    }
    for (int slot = 1; slot <= 4; ++slot)
        MapSlot(slot);
    MainClientFrm.SetStatus("Setting Default Printer");
    SetDefaultPrinter();
}

void TClientRun::MapSlot(int slot)
{
    std::string stored = dbform.RuleQuery.FieldByName("UNCPath" + std::to_string(slot)).AsString();
    RowSet& printers = dbform.printerstable;
    if (!printers.Locate("UNCNAME", stored))
        return;
    if (!printers.FieldByName("Available").AsBoolean())
        return;
    if (UpperCaseAscii(stored) != "NONE")
        MainClientFrm.SetStatusText(QString::fromStdString("Connecting to: " + Expand(stored)));
    QApplication::processEvents();
    // Connected by the printers row's own text; the status shows the rule's.
    MainClientFrm.MapPrinter(Expand(printers.FieldByName("UNCNAME").AsString()));
}

void TClientRun::SetDefaultPrinter()
{
    long long slot = dbform.RuleQuery.FieldByName("Default").AsInteger();
    if (slot < 1 || slot > 4)
        return;
    std::string path =
        Expand(dbform.RuleQuery.FieldByName("UNCPath" + std::to_string(slot)).AsString());
    try {
        MainClientFrm.sc->SetDefault(path);
    } catch (const PrintError&) {
        // As with the removals, the outcome of setting the default is not read back.
    }
}

void TClientRun::ClearNetworkPrinters()
{
    std::vector<std::string> installed;
    try {
        installed = MainClientFrm.sc->InstalledPrinters();
    } catch (const PrintError&) {
        // No printing system to ask: nothing to clear; each connection reports its own error.
        return;
    }
    for (const std::string& name : installed) {
        if (!IsNetworkPath(name))
            continue;
        try {
            MainClientFrm.sc->Remove(name);
        } catch (const PrintError&) {
            // Not read back: the next connection or the next logon settles it.
        }
    }
}

int RunWdClient(const TBrevUtil& brevUtil)
{
    QApplication::setApplicationName("KELVANE Wendrell Client");
    try {
        TMainClientFrm MainClientFrm;
        Tdbform dbform(brevUtil);
        MainClientFrm.SetDataModule(&dbform);
        return TClientRun(MainClientFrm, dbform).Run();
    } catch (const std::exception& e) {
        std::cerr << "wdclient: " << e.what() << std::endl;
        Interaction::ReportError(nullptr, e);
        return 1;
    }
}
