#include "admin/wdConfig.h"

#include "platform/host/textutil.h"
#include "platform/store/schema.h"
#include "platform/store/tables.h"
#include "platform/ui/interaction.h"

#include <QApplication>
#include <iostream>

const char* const kConfigUsage = R"(Usage: wdConfig

Edits the database that the logon client wdclient reads: the global options (among them
how print jobs log on to the print servers), the printers that rules may name (entered by
hand, with the driver their queues get, or found by scanning the network for printer shares)
and the rules that give computers their printers. The program needs write access to the
file and its folder.

The database is the first of: the file that a wddata.conf in this program's folder names
(a line "database = PATH", relative to that folder), wddata.mdb in this program's folder,
the file that /etc/wendrell/wddata.conf names.

The options are stored when the main window closes; printers and rules when their dialogs
are confirmed.

Exit codes:
  0  the main window was closed
  1  the database could not be opened; its message is shown and printed on standard error
)";

TConfigForms::TConfigForms(const TBrevUtil& brevUtil, std::unique_ptr<ShareBrowser> net)
    : dbform(brevUtil), printerEntryfrm(dbform, &adminmainfrm),
      RuleDetailsFrm(dbform, &adminmainfrm), findprinterfrm(dbform, std::move(net), &adminmainfrm),
      aboutfrm(&adminmainfrm)
{
    // The main window was made first; its controls bind as soon as the data module exists.
    adminmainfrm.SetDataModule(&dbform);
    adminmainfrm.SetDialogs(&printerEntryfrm, &RuleDetailsFrm, &findprinterfrm);
}

void UpgradeTables(const Connection& connection)
{
    if (connection.ReadOnly())
        return;
    try {
        UpgradeDatabase(connection.Driver());
    } catch (const std::exception& e) {
        // The rules still work without them; only "Last runs", the drivers and the print
        // logon wait for the next opening.
        std::cerr << "wdConfig: the database was not brought up to date: " << e.what() << std::endl;
    }
}

namespace
{

// Whether the table, as it was read, lacks a field of the present tables.
bool LacksFields(const RowSet& table)
{
    for (const TableDef& t : RequiredTables())
        if (EqualsIgnoreCase(t.name, table.TableName()))
            for (const FieldDef& f : t.fields)
                if (table.FindField(f.name) < 0)
                    return true;
    return false;
}

} // namespace

void OpenDatabase(Tdbform& dbform)
{
    dbform.SetConnection(false);
    const bool older = LacksFields(dbform.ConfigTable) || LacksFields(dbform.printerstable) ||
                       LacksFields(dbform.MapRulesTable);
    UpgradeTables(dbform.ADOConnection);
    if (older)
        dbform.SetConnection(false);
}

int RunWdConfig(const TBrevUtil& brevUtil)
{
    QApplication::setApplicationName("Wendrell Configuration Screen");
    TConfigForms forms(brevUtil);
    try {
        OpenDatabase(forms.dbform);
        forms.aboutfrm.ShowModal();
    } catch (const std::exception& e) {
        std::cerr << "wdConfig: " << e.what() << std::endl;
        Interaction::ReportError(nullptr, e);
        return 1;
    }
    forms.adminmainfrm.show();
    QApplication::exec();
    return 0;
}
