#include "platform/store/driver.h"

namespace
{

bool IsNameChar(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

} // namespace

std::string PositionalParameters(const std::string& sql, std::vector<std::string>& names)
{
    std::string out;
    char quote = 0;
    for (size_t i = 0; i < sql.size(); ++i) {
        const char c = sql[i];
        if (quote) {
            quote = c == quote ? 0 : quote;
        } else if (c == '\'' || c == '"') {
            quote = c;
        } else if (c == ':' && i + 1 < sql.size() && sql[i + 1] == ':') {
            out += c; // a PostgreSQL cast, not a parameter
            ++i;
        } else if (c == ':' && i + 1 < sql.size() && IsNameChar(sql[i + 1])) {
            size_t end = i + 1;
            while (end < sql.size() && IsNameChar(sql[end]))
                ++end;
            names.push_back(sql.substr(i + 1, end - i - 1));
            out += '?';
            i = end - 1;
            continue;
        }
        out += c;
    }
    return out;
}

std::string QuoteIdentifier(const std::string& name)
{
    std::string out = "\"";
    for (char c : name)
        out += c == '"' ? std::string("\"\"") : std::string(1, c);
    return out + "\"";
}

std::vector<std::string> StoreDriver::FieldNames(const std::string& table)
{
    std::vector<std::string> names;
    for (const auto& [name, value] : Defaults(table))
        names.push_back(name);
    return names;
}
