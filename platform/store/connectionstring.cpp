#include "platform/store/connectionstring.h"

#include "platform/host/textutil.h"
#include "platform/store/storeerror.h"

#include <vector>

static bool IsKnownKey(const std::string& key)
{
    static const char* const keys[] = {"Provider", "Data Source", "Persist Security Info", "Mode",
                                       "User ID",  "Password",    "Extended Properties"};
    for (const char* k : keys)
        if (EqualsIgnoreCase(key, k))
            return true;
    return UpperCaseAscii(key).rfind("JET OLEDB:", 0) == 0;
}

static std::string Trim(const std::string& s)
{
    size_t b = s.find_first_not_of(' ');
    size_t e = s.find_last_not_of(' ');
    return b == std::string::npos ? std::string() : s.substr(b, e - b + 1);
}

// Where an unquoted value ends: at the next ';' that begins a known key or ends the text. A
// ';' followed by anything else belongs to the value (older callers left folder names such
// as "a;b" unquoted).
static size_t UnquotedEnd(const std::string& text, size_t from)
{
    for (size_t semi = text.find(';', from); semi != std::string::npos;
         semi = text.find(';', semi + 1)) {
        const size_t eq = text.find('=', semi + 1);
        const size_t next = text.find(';', semi + 1);
        if (semi + 1 == text.size())
            return semi;
        if (eq != std::string::npos && eq < next &&
            IsKnownKey(Trim(text.substr(semi + 1, eq - semi - 1))))
            return semi;
    }
    return text.size();
}

// A value in double or single quotes, its own quote doubled inside; *end is set past the
// closing quote. Throws StoreError when the quote is never closed.
static std::string QuotedValue(const std::string& text, size_t open, size_t* end)
{
    const char quote = text[open];
    std::string value;
    for (size_t i = open + 1; i < text.size(); ++i) {
        if (text[i] != quote) {
            value += text[i];
        } else if (i + 1 < text.size() && text[i + 1] == quote) {
            value += quote;
            ++i;
        } else {
            *end = i + 1;
            return value;
        }
    }
    throw StoreError("The connection string has a value whose quote is never closed: " + text);
}

struct KeyValue {
    std::string key;
    std::string value;
};

// "Key=Value;Key=Value", values quoted where they must be.
static std::vector<KeyValue> Pairs(const std::string& text)
{
    std::vector<KeyValue> pairs;
    size_t at = 0;
    while (at < text.size()) {
        const size_t eq = text.find('=', at);
        const size_t semi = text.find(';', at);
        if (eq == std::string::npos)
            break;
        if (semi < eq) { // a part without '=' says nothing
            at = semi + 1;
            continue;
        }
        KeyValue pair{Trim(text.substr(at, eq - at)), ""};
        const size_t first = text.find_first_not_of(' ', eq + 1);
        size_t end = 0;
        if (first != std::string::npos && (text[first] == '"' || text[first] == '\'')) {
            pair.value = QuotedValue(text, first, &end);
            end = text.find(';', end);
            end = end == std::string::npos ? text.size() : end;
        } else {
            end = UnquotedEnd(text, eq + 1);
            pair.value = text.substr(eq + 1, end - eq - 1);
        }
        pairs.push_back(pair);
        at = end + 1;
    }
    return pairs;
}

ConnectionSettings ParseConnectionString(const std::string& text)
{
    ConnectionSettings s;
    bool haveSource = false;
    for (const KeyValue& pair : Pairs(text)) {
        const std::string& key = pair.key;
        if (EqualsIgnoreCase(key, "Data Source")) {
            s.dataSource = pair.value;
            haveSource = true;
        } else if (EqualsIgnoreCase(key, "Provider")) {
            s.provider = Trim(pair.value);
        } else if (EqualsIgnoreCase(key, "Mode")) {
            s.mode = Trim(pair.value);
        } else if (EqualsIgnoreCase(key, "Jet OLEDB:Database Password")) {
            s.password = pair.value;
        }
    }
    if (!haveSource || s.dataSource.empty())
        throw StoreError("The connection string names no database file (Data Source): " + text);
    return s;
}

std::string QuoteConnectionValue(const std::string& value)
{
    const bool plain = value.find(';') == std::string::npos && !value.empty() &&
                       value.front() != ' ' && value.back() != ' ' && value.front() != '"' &&
                       value.front() != '\'';
    if (plain)
        return value;
    std::string quoted = "\"";
    for (char c : value)
        quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}
