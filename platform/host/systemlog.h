#pragma once

#include <string>

enum class LogPriority { Info, Warning };

// Writes one line to the system log (the journal: journalctl -t <ident>), with the process
// id, in the facility of user programs. ident must live as long as the process (a literal):
// the log keeps the pointer.
void WriteSystemLog(const char* ident, LogPriority priority, const std::string& line);
