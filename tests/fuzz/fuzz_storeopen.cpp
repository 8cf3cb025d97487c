// Opening an arbitrary file as the database, and reading its tables as the client does.

#include "platform/store/connection.h"
#include "platform/store/rowset.h"
#include "platform/store/schema.h"
#include "platform/store/storeerror.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <unistd.h>

namespace
{

std::string FilePath()
{
    static const std::string path = "/tmp/wdfuzz-" + std::to_string(getpid()) + ".mdb";
    return path;
}

void ReadAll(Connection& c, const char* table)
{
    RowSet rs(c, table);
    rs.SetTableName(table);
    rs.Open();
    for (rs.First(); !rs.Eof(); rs.Next())
        for (int i = 0; i < rs.FieldCount(); ++i)
            ValueText(rs.ValueAt(rs.CurrentIndex(), i), rs.ColumnAt(i).type);
    rs.SetSort(rs.FieldCount() ? rs.ColumnAt(0).name + " DESC" : "");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FILE* f = std::fopen(FilePath().c_str(), "wb");
    if (!f)
        return 0;
    std::fwrite(data, 1, size, f);
    std::fclose(f);
    try {
        Connection c;
        c.SetConnectionString("Data Source=" + FilePath() +
                              ";Mode=Read;Jet OLEDB:Database "
                              "Password=" +
                              kDatabasePassword);
        c.Open();
        for (const TableDef& t : RequiredTables())
            ReadAll(c, t.name.c_str());
        RowSet q(c, "RuleQuery");
        q.SQL() = {"Select *", "from MapRules", "where RULENAME LIKE '%*%' or RULENAME=:ClientName",
                   "order by RULENAME;"};
        q.SetParameter("ClientName", Value::Text("LAB1"));
        q.Open();
    } catch (const StoreError&) {
        // A clear refusal is the expected outcome for most inputs.
    }
    unlink(FilePath().c_str());
    return 0;
}
