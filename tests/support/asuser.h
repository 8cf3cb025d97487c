#pragma once

#include <functional>
#include <string>
#include <vector>

// Runs fn in a child process that, when this one is root, first drops to the user
// "nobody", so that file permissions hold as they do for a workstation's user.
// Returns what fn returned; false also when the child failed. Give the folders it needs
// read (and where wanted write) access for others.
bool RunUnprivileged(const std::function<bool()>& fn, std::string* why = nullptr);
// The same as the user of that name, with the user's groups.
bool RunAsUser(const std::string& user, const std::function<bool()>& fn,
               std::string* why = nullptr);
// Makes the system account (no home) when it is missing, and puts it in the group (made
// when missing) when one is named.
void EnsureTestUser(const std::string& name, const std::string& group = "");
// The command as that user runs it, with the user's groups (setpriv).
std::vector<std::string> AsUserCommand(const std::string& user, std::vector<std::string> command);
