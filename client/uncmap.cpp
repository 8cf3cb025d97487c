#include "client/uncmap.h"

#include "platform/host/brevutil.h"
#include "platform/host/calendartime.h"
#include "platform/host/textutil.h"

#include <cstdlib>
#include <ctime>

void SplitRuleName(const std::string& ruleName, std::string& prefix, std::string& suffix)
{
    prefix.clear();
    suffix.clear();
    bool inPrefix = true;
    for (char c : ruleName) {
        if (c == '*')
            inPrefix = false;
        else if (inPrefix)
            prefix += c;
        else
            suffix += c;
    }
}

bool RuleNameMatches(const std::string& ruleName, const std::string& clientName)
{
    std::string rule = UpperCaseAscii(ruleName);
    std::string name = UpperCaseAscii(clientName);
    if (rule == name)
        return true;
    std::string prefix, suffix;
    SplitRuleName(rule, prefix, suffix);
    if (name.substr(0, prefix.size()) != prefix)
        return false;
    // The last len(suffix) characters of the name, or all of a shorter name.
    size_t start = name.size() > suffix.size() ? name.size() - suffix.size() : 0;
    return name.substr(start) == suffix;
}

namespace
{

// The process locale's date or time format, as the C library gives it (%x, %X).
std::string Now(const char* format)
{
    const std::tm local = LocalCalendarTime(std::time(nullptr));
    char buf[128] = {};
    size_t n = std::strftime(buf, sizeof buf, format, &local);
    return std::string(buf, n);
}

std::string BuiltIn(const std::string& name, const TBrevUtil& util, const std::string& host,
                    const std::string& ip, bool& found)
{
    found = true;
    if (name == "USERNAME")
        return util.CurrentUserName();
    if (name == "IPADDRESS")
        return ip;
    if (name == "HOSTNAME")
        return host;
    if (name == "DATE")
        return Now("%x");
    if (name == "TIME")
        return Now("%X");
    if (name == "STARTDIR")
        return util.getstartdir();
    found = false;
    return "";
}

} // namespace

std::string ResolveVariable(const std::string& name, const TBrevUtil& util)
{
    std::string host, ip;
    util.GetHostInfo(host, ip);
    const char* env = name.find('\0') == std::string::npos ? std::getenv(name.c_str()) : nullptr;
    std::string value = env ? env : "";
    bool found = false;
    std::string builtIn = BuiltIn(UpperCaseAscii(name), util, host, ip, found);
    if (found)
        value = builtIn;
    std::string fromSwitch;
    if (util.ReadCommandLine(name, fromSwitch))
        value = fromSwitch;
    return value;
}

std::string ExpandVariables(const std::string& text, const TBrevUtil& util)
{
    return ExpandVariables(
        text, [&util](const std::string& name) { return ResolveVariable(name, util); });
}

std::string ExpandVariables(const std::string& text,
                            const std::function<std::string(const std::string& name)>& resolve)
{
    std::string result;
    size_t pos = 0;
    while (pos < text.size()) {
        if (text[pos] != '%') {
            result += text[pos++];
            continue;
        }
        size_t close = text.find('%', pos + 1);
        if (close == std::string::npos) {
            result += text.substr(pos);
            break;
        }
        result += resolve(UpperCaseAscii(text.substr(pos + 1, close - pos - 1)));
        pos = close + 1;
    }
    return result;
}
