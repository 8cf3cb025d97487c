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
inline constexpr int kSchemaVersion = 1;

// Creates a new database file with the three tables, empty; refuses an existing file.
void CreateDatabase(const std::string& path, const std::string& password);

// The field type a declared SQL column type stands for.
FieldType FieldTypeFromDecl(const std::string& declaredType);

// Checks that an open file is one of ours, with this password and every table and field.
// Throws StoreError naming the file and what is wrong.
void CheckDatabase(const SqliteDb& db, const std::string& password);
