#include "platform/store/tables.h"

const std::vector<TableDef>& RequiredTables()
{
    const Value yes = Value::Integer(1);
    static const std::vector<TableDef> tables = {
        {"Config",
         {{"ClearPrintersFirst", FieldType::Boolean},
          {"AllowClientSelection", FieldType::Boolean}}},
        {"printers",
         {{"UNCNAME", FieldType::Text, {}, true},
          {"Description", FieldType::Text},
          {"Available", FieldType::Boolean, yes}}},
        {"MapRules",
         {{"RULENAME", FieldType::Text, {}, false, true},
          {"UNCPath1", FieldType::Text},
          {"UNCPath2", FieldType::Text},
          {"UNCPath3", FieldType::Text},
          {"UNCPath4", FieldType::Text},
          {"Default", FieldType::Integer, Value::Integer(5)},
          {"Active", FieldType::Boolean, yes}}},
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
