// Rule names against client names, checked against a second, plainer reading of the rule.

#include "client/uncmap.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace
{

char Up(char c)
{
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c;
}

bool Oracle(const std::string& rule, const std::string& name)
{
    std::string r, n;
    for (char c : rule)
        r += Up(c);
    for (char c : name)
        n += Up(c);
    if (r == n)
        return true;
    size_t star = r.find('*');
    std::string prefix = r.substr(0, star);
    std::string suffix;
    if (star != std::string::npos)
        for (char c : r.substr(star + 1))
            if (c != '*')
                suffix += c;
    bool prefixOk = n.compare(0, prefix.size(), prefix) == 0 && n.size() >= prefix.size();
    bool suffixOk = n.size() >= suffix.size() &&
                    n.compare(n.size() - suffix.size(), suffix.size(), suffix) == 0;
    return prefixOk && suffixOk;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string input(reinterpret_cast<const char*>(data), size);
    size_t nl = input.find('\n');
    std::string rule = input.substr(0, nl);
    std::string name = nl == std::string::npos ? "" : input.substr(nl + 1);
    std::string prefix, suffix;
    SplitRuleName(rule, prefix, suffix);
    if (prefix.size() + suffix.size() > rule.size())
        std::abort();
    if (prefix.find('*') != std::string::npos || suffix.find('*') != std::string::npos)
        std::abort();
    if (RuleNameMatches(rule, name) != Oracle(rule, name))
        std::abort();
    return 0;
}
