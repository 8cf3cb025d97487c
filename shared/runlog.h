#pragma once

#include "platform/store/runlogtable.h"

#include <chrono>
#include <string>

class Connection;

// What one client run did, action by action: each action goes to the system log at once,
// and the whole run to the database's run-log table at the end, where the file allows it.
class RunLog
{
public:
    RunLog();

    void SetWho(const std::string& computer, const std::string& user);
    // A rule that matched this computer, in the order the run handled them; notHere: why it
    // does not apply here (its network or group), empty when it does.
    void Matched(const std::string& rule, bool active, const std::string& notHere = "");
    // One action and its result, "slot 1 \\srv\laser" and "connected"; rule may be empty.
    void Action(const std::string& rule, const std::string& what, const std::string& result,
                bool failed = false);
    // The error that ended the run.
    void Error(const std::string& message);

    // The run so far, as the table keeps it.
    RunLogRow Row() const;
    // Adds the run to the run-log table through a connection opened for writing, when the
    // database has the table and may still be written; a database without it, one opened
    // read-only or a locked file is left alone without a word.
    void Store(const Connection& connection) const noexcept;

private:
    RunLogRow row_;
    bool matchedActive_ = false;
    bool matchedNotHere_ = false;
    bool error_ = false;
    std::chrono::steady_clock::time_point start_;
};

// The UTC time as the run-log table keeps it: 2026-12-08T09:15:02.250Z.
std::string IsoTimeUtc(std::chrono::system_clock::time_point when);
