#pragma once

#include <string>

// The lines of the discovery list: "\\SERVER\share[comment]".

// The line for a found share, the remote name cut to 255 characters (never inside one).
std::string FoundPrinterLine(const char* remoteName, const char* comment);
// Splits a line at its first '[': the path before it, the text after it without the
// line's last character.
void SplitFoundLine(const std::string& line, std::string& path, std::string& description);
