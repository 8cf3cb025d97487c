#include "platform/store/tables.h"

const std::vector<TableDef>& RequiredTables()
{
    const Value yes = Value::Integer(1);
    static const std::vector<TableDef> tables = {
        {"Config",
         {{"ClearPrintersFirst", FieldType::Boolean},
          {"AllowClientSelection", FieldType::Boolean},
          // How the print jobs log on to the print servers: none, password or kerberos.
          {"PrintAuthentication", FieldType::Text, {}, false, false, true}}},
        {"printers",
         {{"UNCNAME", FieldType::Text, {}, true},
          {"Description", FieldType::Text},
          {"Available", FieldType::Boolean, yes},
          // A CUPS driver as lpinfo -m lists it; empty: a raw queue.
          {"Driver", FieldType::Text, {}, false, false, true}}},
        {"MapRules",
         {{"RULENAME", FieldType::Text, {}, false, true},
          {"UNCPath1", FieldType::Text},
          {"UNCPath2", FieldType::Text},
          {"UNCPath3", FieldType::Text},
          {"UNCPath4", FieldType::Text},
          {"Default", FieldType::Integer, Value::Integer(5)},
          {"Active", FieldType::Boolean, yes},
          // The networks the computer must be on and the groups the user must be in (CIDR
          // networks; group names separated by commas); empty: any.
          {"Networks", FieldType::Text, {}, false, false, true},
          {"Groups", FieldType::Text, {}, false, false, true}}},
    };
    return tables;
}

const TableDef& RunLogTable()
{
    static const TableDef table = {"wd_runlog",
                                   {{"computer", FieldType::Text, {}, false, true},
                                    {"username", FieldType::Text},
                                    {"started", FieldType::Text}, // UTC, ISO 8601: sorts as text
                                    {"rules", FieldType::Text},
                                    {"outcome", FieldType::Text},
                                    {"failures", FieldType::Integer},
                                    {"problems", FieldType::Text},
                                    {"results", FieldType::Text},
                                    {"duration_ms", FieldType::Integer}}};
    return table;
}
