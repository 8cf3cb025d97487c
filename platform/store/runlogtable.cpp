#include "platform/store/runlogtable.h"

#include "platform/store/sqlite.h"

#include <cstdlib>

void AppendRunLog(const SqliteDb& db, const RunLogRow& row, int keep)
{
    db.Exec("BEGIN IMMEDIATE");
    try {
        Statement insert(db, "INSERT INTO wd_runlog (computer, username, started, rules, "
                             "outcome, failures, problems, results, duration_ms) "
                             "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)");
        insert.BindText(1, row.computer);
        insert.BindText(2, row.user);
        insert.BindText(3, row.started);
        insert.BindText(4, row.rules);
        insert.BindText(5, row.outcome);
        insert.BindInt(6, row.failures);
        insert.BindText(7, row.problems);
        insert.BindText(8, row.results);
        insert.BindInt(9, row.durationMs);
        insert.Step();
        Statement trim(db, "DELETE FROM wd_runlog WHERE computer = ? AND started < "
                           "(SELECT MIN(started) FROM (SELECT started FROM wd_runlog "
                           "WHERE computer = ? ORDER BY started DESC LIMIT ?) AS kept)");
        trim.BindText(1, row.computer);
        trim.BindText(2, row.computer);
        trim.BindInt(3, keep);
        trim.Step();
        db.Exec("COMMIT");
    } catch (...) {
        db.Exec("ROLLBACK");
        throw;
    }
}

std::vector<RunLogRow> LatestRuns(const SqliteDb& db)
{
    Statement st(db, "SELECT computer, username, started, rules, outcome, failures, problems, "
                     "results, duration_ms FROM wd_runlog AS r WHERE started = "
                     "(SELECT MAX(started) FROM wd_runlog WHERE computer = r.computer) "
                     "ORDER BY CASE WHEN failures > 0 THEN 0 ELSE 1 END, computer");
    std::vector<RunLogRow> rows;
    while (st.Step()) {
        rows.push_back({st.ColumnText(0), st.ColumnText(1), st.ColumnText(2), st.ColumnText(3),
                        st.ColumnText(4), std::atoll(st.ColumnText(5).c_str()), st.ColumnText(6),
                        st.ColumnText(7), std::atoll(st.ColumnText(8).c_str())});
    }
    return rows;
}
