#pragma once

#include "platform/dbwidgets/datasource.h"
#include "platform/host/brevutil.h"
#include "platform/store/connection.h"
#include "platform/store/rowset.h"
#include "shared/databaselocation.h"

#include <QObject>
#include <string>

// The two connection strings for the database file at path: the client's read-only one and
// the administration program's.
std::string BuildConnectionString(const std::string& path, bool readOnly);

// The data module: the connection, the tables, the queries and the data sources through
// which every form reaches the database, and the host utility. Never shown.
class Tdbform : public QObject
{
    Q_OBJECT
public:
    explicit Tdbform(TBrevUtil brevUtil, QObject* parent = nullptr);

    // Opens the database that LocateDatabase finds from the start directory (read-only
    // form when readOnly), seeds the Config row and the "None" printer when missing, leaves
    // Config in edit mode and sorts the two tables. Tests name another systemConf.
    void SetConnection(bool readOnly, const std::string& systemConf = kSystemDatabaseConf);
    // False: SetConnection adds no missing rows, so that a look at the file changes nothing.
    bool SeedMissingRows = true;

    // Declared in this order so that each data source goes before its row set, and the
    // connection last.
    Connection ADOConnection;
    RowSet ConfigTable;
    TDataSource ConfigDataSet;
    RowSet printerstable;
    TDataSource PrintersTableDataSource;
    RowSet MapRulesTable;
    TDataSource MapRulesTableDataSource;
    RowSet AvailablePrintersQuery;
    TDataSource AvailablePrintersDataSource;
    RowSet RuleQuery;
    TBrevUtil BrevUtil1;
};
