#pragma once

#include "platform/store/value.h"

#include <string>
#include <vector>

class SqliteDb;

// The tables and fields both programs need. Names are resolved without regard to case.
struct FieldDef {
    std::string name;
    FieldType type;
};

struct TableDef {
    std::string name;
    std::vector<FieldDef> fields;
};

const std::vector<TableDef>& RequiredTables();

// The password both programs open the database with.
inline constexpr const char* kDatabasePassword = "vostrelk";
// 2: the run-log table wd_runlog; files of version 1 lack it and open as before.
inline constexpr int kSchemaVersion = 2;
inline constexpr const char* kRunLogTable = "wd_runlog";

// Creates a new database file with the three tables, empty; refuses an existing file.
void CreateDatabase(const std::string& path, const std::string& password);

// The statements that make the run-log table, plain SQL that every back end takes.
const char* RunLogTableSql();
bool HasRunLogTable(const SqliteDb& db);
// Adds the run-log table to a file of an older schema version (the programs that edit the
// database call it; the client never needs the table). Throws StoreError.
void AddRunLogTable(const SqliteDb& db);

// The field type a declared SQL column type stands for.
FieldType FieldTypeFromDecl(const std::string& declaredType);

// Checks that an open file is one of ours, with this password and every table and field.
// Throws StoreError naming the file and what is wrong.
void CheckDatabase(const SqliteDb& db, const std::string& password);
