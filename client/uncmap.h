#pragma once

#include <functional>
#include <string>

class TBrevUtil;

// Splits a rule name at its first '*': the prefix is what comes before it, the suffix
// everything after it with every further '*' left out.
void SplitRuleName(const std::string& ruleName, std::string& prefix, std::string& suffix);

// Whether a rule name applies to the client's name: equal, or beginning with the prefix and
// ending with the suffix (tested independently), all after upper-casing a-z.
bool RuleNameMatches(const std::string& ruleName, const std::string& clientName);

// Replaces every %NAME% by its value. A '%' that no second one closes is copied with the
// rest of the text unchanged. Values are not scanned again.
std::string ExpandVariables(const std::string& text, const TBrevUtil& util);
// The same with the values of another source: resolve gets each upper-cased name.
std::string ExpandVariables(const std::string& text,
                            const std::function<std::string(const std::string& name)>& resolve);

// The value of an upper-cased placeholder name: a switch of that name, else a built-in
// name (USERNAME, IPADDRESS, HOSTNAME, DATE, TIME, STARTDIR), else the environment, else "".
std::string ResolveVariable(const std::string& name, const TBrevUtil& util);
