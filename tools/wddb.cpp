// wddb: creates an empty printer-mapping database, or shows what one holds.

#include "platform/store/connection.h"
#include "platform/store/rowset.h"
#include "platform/store/runlogtable.h"
#include "platform/store/schema.h"
#include "platform/store/storeerror.h"

#include <algorithm>
#include <cstring>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace
{

const char* const kUsage = R"(Usage:
  wddb create PATH   make a new, empty database with the tables Config, printers and
                     MapRules (an existing file is never overwritten)
  wddb show PATH     print the three tables and the latest client run of each computer
                     (failures first, with what failed and why)
  wddb --help        this text

wdclient and wdConfig open the first of: the file that a wddata.conf in their folder names
(a line "database = PATH"), wddata.mdb in their folder, the file that
/etc/wendrell/wddata.conf names. The file is an SQLite database: yes/no fields hold 0 or 1,
so the sqlite3 tool can read and script it.
Exit codes: 0 done, 1 the database could not be created or read, 2 wrong usage.
)";

std::string ConnectionFor(const std::string& path)
{
    return "Data Source=" + path + ";Mode=Read;Jet OLEDB:Database Password=" + kDatabasePassword;
}

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

void PrintLastRuns(const SqliteDb& db)
{
    if (!HasRunLogTable(db)) {
        std::cout << "Last runs: none kept (the file has no run-log table; wdConfig adds it)\n";
        return;
    }
    const std::vector<RunLogRow> runs = LatestRuns(db);
    std::cout << "Last runs (" << runs.size() << " computers, failures first)\n";
    for (const RunLogRow& run : runs) {
        std::cout << "  " << run.computer << "  " << run.user << "  " << run.started << "  "
                  << (run.rules.empty() ? "-" : run.rules) << "  " << run.outcome << "  "
                  << run.durationMs << " ms\n";
        std::istringstream problems(run.problems);
        for (std::string line; std::getline(problems, line);)
            std::cout << "    " << line << "\n";
    }
}

int Show(const std::string& path)
{
    Connection connection;
    connection.SetConnectionString(ConnectionFor(path));
    connection.Open();
    for (const TableDef& def : RequiredTables()) {
        RowSet table(connection, def.name);
        table.SetTableName(def.name);
        table.Open();
        PrintTable(table);
    }
    PrintLastRuns(connection.Db());
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h" || args[0] == "/?")) {
        std::cout << kUsage;
        return 0;
    }
    if (args.size() != 2 || (args[0] != "create" && args[0] != "show")) {
        std::cerr << kUsage;
        return 2;
    }
    try {
        if (args[0] == "create") {
            CreateDatabase(args[1], kDatabasePassword);
            std::cout << "Created " << args[1] << "\n";
            return 0;
        }
        return Show(args[1]);
    } catch (const std::exception& e) {
        std::cerr << "wddb: " << e.what() << "\n";
        return 1;
    }
}
