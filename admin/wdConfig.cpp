#include "admin/wdConfig.h"

#include "platform/store/schema.h"
#include "platform/ui/interaction.h"

#include <QApplication>
#include <iostream>

const char* const kConfigUsage = R"(Usage: wdConfig

Edits the database that the logon client wdclient reads: the two global options, the
printers that rules may name (entered by hand or found by scanning the network for printer
shares) and the rules that give computers their printers. The program needs write access to
the file and its folder.

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

void AddRunLog(const Connection& connection)
{
    if (connection.ReadOnly())
        return;
    try {
        AddRunLogTable(connection.Driver());
    } catch (const std::exception& e) {
        // The rules still work without it; only "Last runs" stays empty.
        std::cerr << "wdConfig: the run-log table was not added: " << e.what() << std::endl;
    }
}

int RunWdConfig(const TBrevUtil& brevUtil)
{
    QApplication::setApplicationName("Wendrell Configuration Screen");
    TConfigForms forms(brevUtil);
    try {
        forms.dbform.SetConnection(false);
        AddRunLog(forms.dbform.ADOConnection);
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
