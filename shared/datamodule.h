#pragma once

#include "platform/host/brevutil.h"
#include "platform/store/connection.h"
#include "platform/store/rowset.h"
#include "shared/databaselocation.h"

#include <string>

// The two connection strings for the database file at path: the client's read-only one and
// the administration program's.
std::string BuildConnectionString(const std::string& path, bool readOnly);

// The two global options of the Config row.
struct SiteOptions {
    bool clearPrintersFirst = true;
    bool allowClientSelection = true;
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

    // Opens the database that LocateDatabase finds from the start directory (read-only
    // form when readOnly), seeds the Config row and the "None" printer when missing, leaves
    // Config in edit mode and sorts the two tables. Tests name another systemConf.
    // The read-only form seeds nothing where the database may not be written: the missing
    // rows then hold in memory only (Options(), and a slot's "None" as the reserved printer).
    void SetConnection(bool readOnly, const std::string& systemConf = kSystemDatabaseConf);
    // False: SetConnection adds no missing rows, so that a look at the file changes nothing.
    bool SeedMissingRows = true;

    // The options of the first Config row; both on when there is none.
    SiteOptions Options();
    // Whether the rows SetConnection seeds are missing from the database itself.
    bool ConfigMissing();
    bool NonePrinterMissing();
    // Whether this program may add rows (a rule from the client's add path).
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
