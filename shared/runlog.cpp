#include "shared/runlog.h"

#include "platform/host/calendartime.h"
#include "platform/host/systemlog.h"
#include "platform/store/connection.h"
#include "platform/store/schema.h"

#include <cstdio>
#include <ctime>

std::string IsoTimeUtc(std::chrono::system_clock::time_point when)
{
    const std::time_t seconds = std::chrono::system_clock::to_time_t(when);
    const auto ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(when.time_since_epoch()).count() %
        1000;
    const std::tm tm = UtcCalendarTime(seconds);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &tm);
    char fraction[8];
    std::snprintf(fraction, sizeof fraction, ".%03dZ", static_cast<int>(ms));
    return std::string(text) + fraction;
}

RunLog::RunLog() : start_(std::chrono::steady_clock::now())
{
    row_.started = IsoTimeUtc(std::chrono::system_clock::now());
}

void RunLog::SetWho(const std::string& computer, const std::string& user)
{
    row_.computer = computer;
    row_.user = user;
}

void RunLog::Matched(const std::string& rule, bool active, const std::string& notHere)
{
    row_.rules += (row_.rules.empty() ? "" : ", ") + rule;
    if (!notHere.empty()) {
        matchedNotHere_ = true;
        Action(rule, "not here", notHere);
        return;
    }
    matchedActive_ = matchedActive_ || active;
    if (!active)
        Action(rule, "inactive rule", "nothing to do");
}

void RunLog::Action(const std::string& rule, const std::string& what, const std::string& result,
                    bool failed)
{
    const std::string line = (rule.empty() ? "" : rule + ": ") + what + ": " + result;
    row_.results += (row_.results.empty() ? "" : "\n") + line;
    if (failed) {
        ++row_.failures;
        row_.problems += (row_.problems.empty() ? "" : "\n") + line;
    }
    WriteSystemLog("wdclient", failed ? LogPriority::Warning : LogPriority::Info,
                   "computer=" + row_.computer + " user=" + row_.user + " " + line);
}

void RunLog::Error(const std::string& message)
{
    error_ = true;
    Action("", "error", message, true);
}

RunLogRow RunLog::Row() const
{
    RunLogRow row = row_;
    row.outcome = error_              ? "error"
                  : row.rules.empty() ? "no rule"
                  : row.failures > 0  ? "failed"
                  : matchedActive_    ? "ok"
                  : matchedNotHere_   ? "not here"
                                      : "inactive rule";
    row.durationMs = std::chrono::duration_cast<std::chrono::milliseconds>(
                         std::chrono::steady_clock::now() - start_)
                         .count();
    return row;
}

void RunLog::Store(const Connection& connection) const noexcept
{
    try {
        // Only through the run's own connection, when it was opened for writing and may
        // still write: a second connection would cost each logon its opening.
        if (!connection.Writable() || !HasRunLogTable(connection.Driver()))
            return;
        AppendRunLog(connection.Driver(), Row());
    } catch (...) {
        // The log is a help, never a reason for a logon to fail.
    }
}
