#pragma once

#include <optional>
#include <string>

// The parts of smb:// URLs: every byte but the unreserved ASCII ones as %XX.
std::string PercentEncode(const std::string& text);
// Nothing when the text holds a malformed escape.
std::optional<std::string> PercentDecode(const std::string& text);
