#pragma once

#include <string>

// The SHA-256 digest of data, as 64 lower-case hex digits.
std::string Sha256Hex(const std::string& data);
