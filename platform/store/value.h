#pragma once

#include <string>
#include <variant>

// How a field is read and written: text, yes/no (stored as 0/1) or a whole number.
enum class FieldType { Text, Boolean, Integer };

// One stored value: empty (NULL), a whole number or a text.
class Value
{
public:
    Value() = default;
    static Value Text(std::string text);
    static Value Integer(long long number);

    bool IsNull() const { return std::holds_alternative<std::monostate>(v_); }
    bool IsText() const { return std::holds_alternative<std::string>(v_); }
    bool IsInteger() const { return std::holds_alternative<long long>(v_); }
    const std::string& TextValue() const { return std::get<std::string>(v_); }
    long long IntegerValue() const { return std::get<long long>(v_); }

    bool operator==(const Value& other) const { return v_ == other.v_; }

private:
    std::variant<std::monostate, long long, std::string> v_;
};
