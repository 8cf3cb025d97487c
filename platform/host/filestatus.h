#pragma once

#include <string>

// Whether anything (a file, a folder) is at path. When nothing is, why says what the system
// answered ("No such file or directory", "Permission denied").
bool PathExists(const std::string& path, std::string& why);
bool PathExists(const std::string& path);
