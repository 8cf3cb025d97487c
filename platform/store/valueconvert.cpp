#include "platform/store/valueconvert.h"

#include "platform/host/textutil.h"

#include <charconv>

namespace
{

bool ParseInteger(const std::string& text, long long& out)
{
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), out);
    return ec == std::errc() && end == text.data() + text.size() && !text.empty();
}

// Yes/no in a text that is not empty.
std::optional<bool> YesNo(const std::string& text)
{
    long long n = 0;
    if (ParseInteger(text, n))
        return n != 0;
    for (const char* yes : {"True", "Yes", "T", "Y"})
        if (EqualsIgnoreCase(text, yes))
            return true;
    for (const char* no : {"False", "No", "F", "N"})
        if (EqualsIgnoreCase(text, no))
            return false;
    return std::nullopt;
}

} // namespace

std::string ValueText(const Value& v, FieldType type)
{
    if (v.IsNull())
        return "";
    if (v.IsText())
        return v.TextValue();
    if (type == FieldType::Boolean)
        return v.IntegerValue() != 0 ? "True" : "False";
    return std::to_string(v.IntegerValue());
}

std::optional<bool> ValueAsBoolean(const Value& v)
{
    if (v.IsNull())
        return false;
    if (v.IsInteger())
        return v.IntegerValue() != 0;
    if (v.TextValue().empty())
        return false;
    return YesNo(v.TextValue());
}

std::optional<long long> ValueAsInteger(const Value& v)
{
    if (v.IsNull())
        return 0;
    if (v.IsInteger())
        return v.IntegerValue();
    long long n = 0;
    if (v.TextValue().empty())
        return 0;
    if (!ParseInteger(v.TextValue(), n))
        return std::nullopt;
    return n;
}

std::string NotAValue(const Value& v, const std::string& field, const std::string& list,
                      const char* kind)
{
    return "\"" + ValueText(v, FieldType::Text) + "\" in the field " + field + " of " + list +
           " is not " + kind + ".";
}

Value StoredBoolean(bool value, FieldType type)
{
    if (type == FieldType::Text)
        return Value::Text(value ? "True" : "False");
    return Value::Integer(value ? 1 : 0);
}

Value StoredInteger(long long value, FieldType type)
{
    if (type == FieldType::Text)
        return Value::Text(std::to_string(value));
    if (type == FieldType::Boolean)
        value = value != 0 ? 1 : 0;
    return Value::Integer(value);
}

std::optional<Value> StoredText(const std::string& text, FieldType type)
{
    if (type == FieldType::Text)
        return Value::Text(text);
    // An empty value, made in place: copying an empty variant into the optional draws a
    // false "may be used uninitialized" from GCC 12 in the sanitized build.
    if (text.empty())
        return std::optional<Value>(std::in_place);
    if (type == FieldType::Boolean) {
        const std::optional<bool> b = YesNo(text);
        return b ? std::optional<Value>(StoredBoolean(*b, type)) : std::nullopt;
    }
    long long n = 0;
    return ParseInteger(text, n) ? std::optional<Value>(Value::Integer(n)) : std::nullopt;
}
