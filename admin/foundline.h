#pragma once

#include <string>

// The lines of the discovery list: "\\SERVER\share[comment]".

// A found share's remote name as it is listed and stored: cut to 255 characters (never inside
// one).
std::string FoundPrinterPath(const std::string& remoteName);
// The line for a found share: its path, then its comment in brackets ("[]" for none).
std::string FoundPrinterLine(const std::string& remoteName, const std::string& comment);
