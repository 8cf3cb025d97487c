#pragma once

#include "platform/store/value.h"

#include <string>
#include <vector>

class StoreDriver;

// The tables and fields both programs need: the one statement of them, from which each
// back end creates its tables and against which an opened database is checked. Names are
// resolved without regard to case.
struct FieldDef {
    std::string name;
    FieldType type;
    Value defaultValue = {};
    bool unique = false; // without regard to case
    bool indexed = false;
};

struct TableDef {
    std::string name;
    std::vector<FieldDef> fields;
};

const std::vector<TableDef>& RequiredTables();

// The password both programs open the database with.
inline constexpr const char* kDatabasePassword = "vostrelk";
// 2: the run-log table wd_runlog; databases of version 1 lack it and open as before.
inline constexpr int kSchemaVersion = 2;

// The outcome of each client run. Not among the required tables: older databases lack it
// and the client never needs it.
const TableDef& RunLogTable();
bool HasRunLogTable(StoreDriver& driver);
// Adds the run-log table to a database of an older schema version (the programs that edit
// the database call it). Throws StoreError.
void AddRunLogTable(StoreDriver& driver);

// The reserved printer: a rule slot that names it connects nothing.
inline constexpr const char* kNonePrinter = "None";
inline constexpr const char* kNonePrinterDescription = "No Printer";

// Makes the tables in a new database: a file path (an existing file is refused) or a
// PostgreSQL URI (a database that holds any of the tables is refused). startingRows: with
// the rows the programs would otherwise add at their first opening (the Config row, both
// options on, and the printer None), so that a database nobody may write is complete.
void CreateDatabase(const std::string& location, const std::string& password,
                    bool startingRows = false);
// Makes the tables in an opened, empty database.
void CreateTables(StoreDriver& driver, const std::string& password, bool startingRows = false);

// The field type a declared SQL column type stands for.
FieldType FieldTypeFromDecl(const std::string& declaredType);

// Checks that an open database is one of ours, with this password (where the database does
// not authenticate itself) and every table and field. Throws StoreError naming the database
// and what is wrong.
void CheckDatabase(StoreDriver& driver, const std::string& password);
