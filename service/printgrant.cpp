#include "service/printgrant.h"

#include "client/runfacts.h"
#include "client/uncmap.h"
#include "platform/host/textutil.h"
#include "shared/datamodule.h"

namespace
{

// Stands for any text the client alone could give a placeholder.
constexpr char kAnyText = '\x01';

enum class Fit { Yes, No, ServerFromClient };

char Upper(char c)
{
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// A share name against a pattern in which kAnyText matches any run of characters but '\'.
bool ShareFits(const std::string& pattern, const std::string& share)
{
    size_t p = 0, s = 0, starP = std::string::npos, starS = 0;
    while (s < share.size()) {
        if (p < pattern.size() && pattern[p] == kAnyText) {
            starP = p++;
            starS = s;
        } else if (p < pattern.size() && Upper(pattern[p]) == Upper(share[s])) {
            ++p;
            ++s;
        } else if (starP != std::string::npos && share[starS] != '\\') {
            p = starP + 1;
            s = ++starS;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == kAnyText)
        ++p;
    return p == pattern.size();
}

Fit Fits(const std::string& pattern, const UncPath& path)
{
    if (pattern.compare(0, 2, "\\\\") != 0)
        return Fit::No;
    const size_t cut = pattern.find('\\', 2);
    if (cut == std::string::npos)
        return Fit::No;
    const std::string server = pattern.substr(2, cut - 2);
    if (server.find(kAnyText) != std::string::npos)
        return Fit::ServerFromClient;
    return EqualsIgnoreCase(server, path.server) && ShareFits(pattern.substr(cut + 1), path.share)
               ? Fit::Yes
               : Fit::No;
}

std::string Resolve(const std::string& name, const std::string& user, const TBrevUtil& host)
{
    if (name == "USERNAME")
        return user;
    if (name == "HOSTNAME" || name == "IPADDRESS") {
        std::string hostName, address;
        host.GetHostInfo(hostName, address);
        return name == "HOSTNAME" ? hostName : address;
    }
    return std::string(1, kAnyText);
}

} // namespace

Grant GrantFor(DataModule& dbform, const std::string& computer, const std::string& user,
               const UncPath& path)
{
    RunFacts facts = ReadRunFacts(dbform, computer, user);
    facts.expand = [&user, &host = dbform.BrevUtil1](const std::string& text) {
        return ExpandVariables(text,
                               [&](const std::string& name) { return Resolve(name, user, host); });
    };
    bool serverFromClient = false;
    for (const RulePlan& rule : PlanRun(facts).rules)
        for (const SlotPlan& slot : rule.slotPlans) {
            if (slot.action != SlotAction::Connect)
                continue;
            const Fit fit = Fits(slot.path, path);
            if (fit == Fit::Yes)
                return {"", {slot.driver, rule.logon}};
            serverFromClient = serverFromClient || fit == Fit::ServerFromClient;
        }
    return {"no active rule for the computer " + computer + " gives the printer " + UncText(path) +
                " to " + user +
                (serverFromClient ? " (a printer whose server name comes from the user's own "
                                    "variables is never made)"
                                  : ""),
            {}};
}
