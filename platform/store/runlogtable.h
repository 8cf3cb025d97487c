#pragma once

#include <string>
#include <vector>

class StoreDriver;

// One client run as the run-log table keeps it.
struct RunLogRow {
    std::string computer;
    std::string user;
    std::string started; // UTC, ISO 8601 with milliseconds: sorts as text
    std::string rules;   // the matching rules, in the order they were handled
    std::string outcome; // ok, failed, inactive rule, no rule, error
    long long failures = 0;
    std::string problems; // the lines of the actions that failed, with the reason
    std::string results;  // one line per action
    long long durationMs = 0;
};

// Runs kept per computer: the table cannot grow without limit.
inline constexpr int kRunsKeptPerComputer = 20;

// Adds a run and drops the oldest runs of its computer beyond the kept number, in one
// transaction. Throws StoreError.
void AppendRunLog(StoreDriver& db, const RunLogRow& row, int keep = kRunsKeptPerComputer);

// The latest run of each computer: failures first, then by computer. Throws StoreError.
std::vector<RunLogRow> LatestRuns(StoreDriver& db);
