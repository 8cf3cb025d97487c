#pragma once

#include "platform/store/value.h"

#include <optional>
#include <string>

// How a field's value reads and is written as text, yes/no and a whole number. Yes/no in
// text follows one rule everywhere: a whole number (0 is no), or true, yes, false, no or
// their first letters, in any case.

// A value as text: "" when empty, "True"/"False" for a yes/no field.
std::string ValueText(const Value& v, FieldType type);
// A value as a field reads it as yes/no or as a whole number (empty: false, 0); nothing when
// it is neither.
std::optional<bool> ValueAsBoolean(const Value& v);
std::optional<long long> ValueAsInteger(const Value& v);
// "\"x\" in the field F of LIST is not KIND."
std::string NotAValue(const Value& v, const std::string& field, const std::string& list,
                      const char* kind);

// What a field of the type stores for a yes/no, a whole number and a text as a person
// writes it ("" stores an empty yes/no or number field). Nothing for a text that is not of
// the field's kind.
Value StoredBoolean(bool value, FieldType type);
Value StoredInteger(long long value, FieldType type);
std::optional<Value> StoredText(const std::string& text, FieldType type);
