// wddb: creates an empty printer-mapping database, shows what one holds, or copies one
// into another (a file to a server and back).

#include "platform/host/textutil.h"
#include "platform/store/connection.h"
#include "platform/store/drivers.h"
#include "platform/store/rowset.h"
#include "platform/store/rowwriter.h"
#include "platform/store/runlogtable.h"
#include "platform/store/schema.h"
#include "platform/store/storeerror.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace
{

const char* const kUsage = R"(Usage:
  wddb create DATABASE       make a new database with the tables Config, printers and
                             MapRules, holding only the options row (both options on) and
                             the printer None; an existing file, or a server database that
                             has any of the tables, is never overwritten
  wddb show DATABASE         print the three tables and the latest client run of each
                             computer (failures first, with what failed and why)
  wddb copy SOURCE TARGET    copy every row of the three tables into a new database, or
                             into one that holds no more than "wddb create" puts there; a
                             target that holds data is refused and left as it is
  wddb --help                this text

DATABASE is a file path or a PostgreSQL URI as libpq reads it, e.g.
postgresql://db1,db2/wendrell?user=wd (several hosts: the first that answers). Give the
password in ~/.pgpass, a service file or PGPASSWORD, never in the URI on a command line.

wdclient and wdConfig open the first of: the database that a wddata.conf in their folder
names (a line "database = PATH or URI"), wddata.mdb in their folder, the database that
/etc/wendrell/wddata.conf names. A file is an SQLite database: yes/no fields hold 0 or 1,
so the sqlite3 tool can read and script it.
Exit codes: 0 done, 1 the database could not be created, read or copied, 2 wrong usage.
)";

void PrintTable(RowSet& table)
{
    std::vector<size_t> widths;
    for (int c = 0; c < table.FieldCount(); ++c)
        widths.push_back(table.ColumnAt(c).name.size());
    for (int r = 0; r < table.RecordCount(); ++r)
        for (int c = 0; c < table.FieldCount(); ++c)
            widths[c] =
                std::max(widths[c], ValueText(table.ValueAt(r, c), table.ColumnAt(c).type).size());
    std::cout << table.TableName() << " (" << table.RecordCount() << " rows)\n";
    auto line = [&](auto cell) {
        std::string out;
        for (int c = 0; c < table.FieldCount(); ++c) {
            std::string text = cell(c);
            out += "  " + text + std::string(widths[c] - std::min(widths[c], text.size()), ' ');
        }
        std::cout << out.substr(0, out.find_last_not_of(' ') + 1) << "\n";
    };
    line([&](int c) { return table.ColumnAt(c).name; });
    for (int r = 0; r < table.RecordCount(); ++r)
        line([&](int c) { return ValueText(table.ValueAt(r, c), table.ColumnAt(c).type); });
    std::cout << "\n";
}

void PrintLastRuns(StoreDriver& db)
{
    if (!HasRunLogTable(db)) {
        std::cout << "Last runs: none kept (the file has no run-log table; wdConfig adds it)\n";
        return;
    }
    const std::vector<RunLogRow> runs = LatestRuns(db);
    std::cout << "Last runs (" << runs.size() << (runs.size() == 1 ? " computer" : " computers")
              << ", failures first)\n";
    for (const RunLogRow& run : runs) {
        std::cout << "  " << run.computer << "  " << run.user << "  " << run.started << "  "
                  << (run.rules.empty() ? "-" : run.rules) << "  " << run.outcome << "  "
                  << run.durationMs << " ms\n";
        std::istringstream problems(run.problems);
        for (std::string line; std::getline(problems, line);)
            std::cout << "    " << line << "\n";
    }
}

int Show(const std::string& location)
{
    Connection connection;
    connection.Open({location, Access::ReadOnly});
    for (const TableDef& def : RequiredTables()) {
        RowSet table(connection, def.name);
        table.SetTableName(def.name);
        table.Open();
        PrintTable(table);
    }
    PrintLastRuns(connection.Driver());
    return 0;
}

long long CountRows(StoreDriver& db, const std::string& table)
{
    auto st = db.Prepare("SELECT COUNT(*) FROM " + db.Identifier(table));
    st->Step();
    return st->ColumnValue(0).IntegerValue();
}

bool Exists(const std::string& location)
{
    std::error_code ec;
    return !IsServerLocation(location) && std::filesystem::exists(location, ec);
}

// The rows "wddb create" starts a database with (and the programs add at their first
// opening), and nothing else: such a target counts as empty.
bool OnlyStartingRows(StoreDriver& db, const std::string& table)
{
    const long long rows = CountRows(db, table);
    if (EqualsIgnoreCase(table, "printers")) {
        auto none = db.Prepare("SELECT COUNT(*) FROM " + db.Identifier(table) + " WHERE " +
                               db.Identifier("UNCNAME") + " = ?");
        none->Bind(1, Value::Text(kNonePrinter));
        none->Step();
        return rows == none->ColumnValue(0).IntegerValue() && rows <= 1;
    }
    return rows == 0 || (EqualsIgnoreCase(table, "Config") && rows == 1);
}

// A new database, or one of ours whose tables are empty but for the starting rows, which
// the copy then replaces.
std::unique_ptr<StoreDriver> OpenTarget(const std::string& location)
{
    if (!Exists(location) && (!IsServerLocation(location) ||
                              !OpenDatabase({location, Access::ReadOnly})->HasTable("wd_meta"))) {
        std::unique_ptr<StoreDriver> db = OpenNewDatabase(location);
        CreateTables(*db);
        return db;
    }
    std::unique_ptr<StoreDriver> db = OpenDatabase({location, Access::ReadWrite});
    CheckDatabase(*db);
    for (const TableDef& t : RequiredTables())
        if (!OnlyStartingRows(*db, t.name))
            throw StoreError("The target, " + db->Describe() + ", already holds rows in " + t.name +
                             "; nothing was copied and it was left as it is.");
    return db;
}

// Copies the rows of one table; the number copied.
long long CopyTable(StoreDriver& from, StoreDriver& to, const std::string& table)
{
    RowWriter writer(to, table, "row", "the table " + table);
    std::unique_ptr<DriverStatement> rows = from.PrepareTable(table);
    long long copied = 0;
    while (rows->Step()) {
        std::vector<std::string> names;
        std::vector<Value> values;
        for (int i = 0; i < rows->ColumnCount(); ++i) {
            names.push_back(rows->ColumnName(i));
            values.push_back(rows->ColumnValue(i));
        }
        writer.Insert(names, values);
        ++copied;
    }
    if (CountRows(to, table) != copied)
        throw StoreError("The copy of " + table + " does not hold every row; nothing was copied.");
    return copied;
}

int Copy(const std::string& source, const std::string& target)
{
    Connection connection;
    connection.Open({source, Access::ReadOnly});
    const bool made = !Exists(target);
    try {
        std::unique_ptr<StoreDriver> to = OpenTarget(target);
        to->Exec("BEGIN");
        for (const TableDef& t : RequiredTables())
            to->Exec("DELETE FROM " + to->Identifier(t.name));
        std::string counts;
        for (const TableDef& t : RequiredTables())
            counts += (counts.empty() ? "" : ", ") +
                      std::to_string(CopyTable(connection.Driver(), *to, t.name)) + " " + t.name;
        to->Exec("COMMIT");
        std::cout << "Copied " << counts << " rows from " << connection.Driver().Describe()
                  << " to " << to->Describe() << "\n";
        return 0;
    } catch (...) {
        std::error_code ec;
        if (made && !IsServerLocation(target))
            std::filesystem::remove(target, ec); // a file this run made and could not fill
        throw;
    }
}

} // namespace

int main(int argc, char** argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h" || args[0] == "/?")) {
        std::cout << kUsage;
        return 0;
    }
    const bool copy = args.size() == 3 && args[0] == "copy";
    if (!copy && (args.size() != 2 || (args[0] != "create" && args[0] != "show"))) {
        std::cerr << kUsage;
        return 2;
    }
    try {
        if (copy)
            return Copy(args[1], args[2]);
        if (args[0] == "create") {
            CreateDatabase(args[1], true);
            std::cout << "Created " << (IsServerLocation(args[1]) ? "the tables" : args[1]) << "\n";
            return 0;
        }
        return Show(args[1]);
    } catch (const std::exception& e) {
        std::cerr << "wddb: " << e.what() << "\n";
        return 1;
    }
}
