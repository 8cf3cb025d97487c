#pragma once

#include <functional>
#include <string>

// Runs fn in a child process that, when this one is root, first drops to the user
// "nobody", so that file permissions hold as they do for a workstation's user.
// Returns what fn returned; false also when the child failed. Give the folders it needs
// read (and where wanted write) access for others.
bool RunUnprivileged(const std::function<bool()>& fn, std::string* why = nullptr);
// The same as the user of that name, with the user's groups.
bool RunAsUser(const std::string& user, const std::function<bool()>& fn,
               std::string* why = nullptr);
