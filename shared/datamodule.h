#pragma once

#include "platform/host/brevutil.h"
#include "platform/print/printlogon.h"
#include "platform/store/connection.h"
#include "platform/store/rowset.h"
#include "shared/databaselocation.h"

#include <string>

// The global options of the Config row.
struct SiteOptions {
    bool clearPrintersFirst = true;
    bool allowClientSelection = true;
    // PrintAuthentication: none where the field or its value is missing.
    PrintLogon logon = PrintLogon::None;
};

// The connection, the tables and the queries, without any window toolkit: a silent logon
// reads its rules through this alone, so that it starts no faster than the store allows.
class DataModule
{
public:
    explicit DataModule(TBrevUtil brevUtil);
    virtual ~DataModule() = default;
    DataModule(const DataModule&) = delete;
    DataModule& operator=(const DataModule&) = delete;

    // Opens the database that LocateDatabase finds from the start directory, seeds the
    // Config row and the "None" printer when missing, leaves Config in edit mode and sorts
    // the two tables. Tests name another systemConf. readOnly: the client's form, which
    // writes where the database allows it; where it may not, nothing is seeded and the
    // missing rows hold in memory only (Options(), and a slot's "None" as the reserved
    // printer). Else the administration program's, which fails where it may not write.
    void SetConnection(bool readOnly, const std::string& systemConf = kSystemDatabaseConf);
    // The same with the access named: Access::ReadOnly seeds nothing and never writes, for a
    // look that changes nothing (the what-if report).
    void SetConnection(Access access, const std::string& systemConf = kSystemDatabaseConf);

    // The options of the first Config row; both on when there is none.
    SiteOptions Options();
    // Whether the rows SetConnection seeds are missing from the database itself.
    bool ConfigMissing();
    bool NonePrinterMissing();
    // Whether this program may add rows (a rule from the client's add path); opened
    // read-only as asked, whether the client's form could.
    bool Writable() const;

    // The connection first: it goes last, after every row set.
    Connection ADOConnection;
    RowSet ConfigTable;
    RowSet printerstable;
    RowSet MapRulesTable;
    RowSet AvailablePrintersQuery;
    RowSet RuleQuery;
    TBrevUtil BrevUtil1;
};
