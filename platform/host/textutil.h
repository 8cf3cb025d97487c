#pragma once

#include <string>
#include <string_view>

// Upper-casing for comparisons changes only the ASCII letters a to z; nothing is trimmed.
std::string UpperCaseAscii(std::string_view text);
bool EqualsIgnoreCase(std::string_view a, std::string_view b);
// <0, 0, >0 like strcmp, folding only the ASCII letters; orders as SQLite's NOCASE.
int CompareIgnoreCase(std::string_view a, std::string_view b);
// The text without the given characters at either end.
std::string Trimmed(std::string_view text, std::string_view blanks = " \t");
// The text in double quotes, as messages name what they are about.
std::string Quoted(std::string_view text);
// Whether the bytes are well-formed UTF-8 (no overlong forms, surrogates or values past
// U+10FFFF).
bool IsValidUtf8(std::string_view text);
