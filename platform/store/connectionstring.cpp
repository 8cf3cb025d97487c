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

// Segments between ';', glued back where a segment does not start a known key.
static std::vector<std::string> Segments(const std::string& text)
{
    std::vector<std::string> out;
    size_t start = 0;
    while (start <= text.size()) {
        size_t semi = text.find(';', start);
        std::string seg = text.substr(start, semi == std::string::npos ? semi : semi - start);
        size_t eq = seg.find('=');
        bool startsKey = eq != std::string::npos && IsKnownKey(Trim(seg.substr(0, eq)));
        if (!startsKey && !out.empty())
            out.back() += ";" + seg;
        else
            out.push_back(seg);
        if (semi == std::string::npos)
            break;
        start = semi + 1;
    }
    return out;
}

ConnectionSettings ParseConnectionString(const std::string& text)
{
    ConnectionSettings s;
    bool haveSource = false;
    for (std::string seg : Segments(text)) {
        size_t eq = seg.find('=');
        if (eq == std::string::npos)
            continue;
        std::string key = Trim(seg.substr(0, eq));
        std::string value = seg.substr(eq + 1);
        if (EqualsIgnoreCase(key, "Data Source")) {
            s.dataSource = value;
            haveSource = true;
        } else if (EqualsIgnoreCase(key, "Provider")) {
            s.provider = Trim(value);
        } else if (EqualsIgnoreCase(key, "Mode")) {
            s.mode = Trim(value);
        } else if (EqualsIgnoreCase(key, "Jet OLEDB:Database Password")) {
            s.password = value;
        }
    }
    // A trailing ';' after the last value belongs to no file name.
    if (!s.dataSource.empty() && s.dataSource.back() == ';' && text.back() == ';')
        s.dataSource.pop_back();
    if (!haveSource || s.dataSource.empty())
        throw StoreError("The connection string names no database file (Data Source): " + text);
    return s;
}
