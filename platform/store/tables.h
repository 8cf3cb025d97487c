#pragma once

#include "platform/store/value.h"

#include <string>
#include <vector>

// The tables and fields both programs need: the one statement of them, from which each
// back end creates its tables and against which an opened database is checked. Names are
// resolved without regard to case.
struct FieldDef {
    std::string name;
    FieldType type;
    Value defaultValue = {};
    bool unique = false; // without regard to case
    bool indexed = false;
    // Newer than some databases: the programs work without it, and the administration
    // program adds it to a database it opens for writing.
    bool optional = false;
};

struct TableDef {
    std::string name;
    std::vector<FieldDef> fields;
};

const std::vector<TableDef>& RequiredTables();

// 2: the run-log table wd_runlog; databases of version 1 lack it and open as before.
// Optional fields are added without a new version: the programs of version 2 open a
// database that has them as before.
inline constexpr int kSchemaVersion = 2;

// The outcome of each client run. Not among the required tables: older databases lack it
// and the client never needs it.
const TableDef& RunLogTable();

// The reserved printer: a rule slot that names it connects nothing.
inline constexpr const char* kNonePrinter = "None";
inline constexpr const char* kNonePrinterDescription = "No Printer";
