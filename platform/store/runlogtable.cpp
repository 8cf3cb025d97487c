#include "platform/store/runlogtable.h"

#include "platform/store/driver.h"
#include "platform/store/valueconvert.h"

#include <cstdlib>

namespace
{

std::string TextAt(const DriverStatement& st, int column)
{
    return ValueText(st.ColumnValue(column), FieldType::Text);
}

long long NumberAt(const DriverStatement& st, int column)
{
    const Value v = st.ColumnValue(column);
    if (v.IsInteger())
        return v.IntegerValue();
    return v.IsText() ? std::atoll(v.TextValue().c_str()) : 0;
}

} // namespace

void AppendRunLog(StoreDriver& db, const RunLogRow& row, int keep)
{
    db.Exec("BEGIN");
    try {
        auto insert = db.Prepare("INSERT INTO wd_runlog (computer, username, started, rules, "
                                 "outcome, failures, problems, results, duration_ms) "
                                 "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)");
        int column = 1;
        for (const std::string* text :
             {&row.computer, &row.user, &row.started, &row.rules, &row.outcome})
            insert->Bind(column++, Value::Text(*text));
        insert->Bind(column++, Value::Integer(row.failures));
        insert->Bind(column++, Value::Text(row.problems));
        insert->Bind(column++, Value::Text(row.results));
        insert->Bind(column, Value::Integer(row.durationMs));
        insert->Step();
        auto trim = db.Prepare("DELETE FROM wd_runlog WHERE computer = ? AND started < "
                               "(SELECT MIN(started) FROM (SELECT started FROM wd_runlog "
                               "WHERE computer = ? ORDER BY started DESC LIMIT ?) AS kept)");
        trim->Bind(1, Value::Text(row.computer));
        trim->Bind(2, Value::Text(row.computer));
        trim->Bind(3, Value::Integer(keep));
        trim->Step();
        db.Exec("COMMIT");
    } catch (...) {
        db.Exec("ROLLBACK");
        throw;
    }
}

std::vector<RunLogRow> LatestRuns(StoreDriver& db)
{
    auto st = db.Prepare("SELECT computer, username, started, rules, outcome, failures, problems, "
                         "results, duration_ms FROM wd_runlog AS r WHERE started = "
                         "(SELECT MAX(started) FROM wd_runlog WHERE computer = r.computer) "
                         "ORDER BY CASE WHEN failures > 0 THEN 0 ELSE 1 END, computer");
    std::vector<RunLogRow> rows;
    while (st->Step())
        rows.push_back({TextAt(*st, 0), TextAt(*st, 1), TextAt(*st, 2), TextAt(*st, 3),
                        TextAt(*st, 4), NumberAt(*st, 5), TextAt(*st, 6), TextAt(*st, 7),
                        NumberAt(*st, 8)});
    return rows;
}
