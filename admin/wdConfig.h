#pragma once

#include "admin/about.h"
#include "admin/adminmain.h"
#include "admin/findprinter.h"
#include "admin/printentry.h"
#include "platform/host/brevutil.h"
#include "shared/dbformmain.h"
#include "shared/ruledetails.h"

// The administration program's six forms, created in this order and kept to the end.
struct TConfigForms {
    // net: the network to scan for printers; the OS's own when null.
    explicit TConfigForms(const TBrevUtil& brevUtil, std::unique_ptr<ShareBrowser> net = nullptr);

    Tadminmainfrm adminmainfrm;
    Tdbform dbform;
    TprinterEntryfrm printerEntryfrm;
    TRuleDetailsFrm RuleDetailsFrm;
    Tfindprinterfrm findprinterfrm;
    Taboutfrm aboutfrm;
};

// The program: opens the database read/write, shows the about box, then runs until the main
// window closes. Returns the exit code: 0, or 1 when the database could not be opened (its
// message was shown).
int RunWdConfig(const TBrevUtil& brevUtil);
// Brings an older database opened for writing up to date (the run-log table, the optional
// fields); a failure is only printed.
void UpgradeTables(const Connection& connection);
// Opens the database for writing and brings it up to date; the tables are read again when
// they lacked fields, so that the windows show the fields added.
void OpenDatabase(Tdbform& dbform);

extern const char* const kConfigUsage;
