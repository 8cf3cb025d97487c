#include "client/clientswitches.h"

#include "platform/host/brevutil.h"

std::string ClientSwitches::Computer(const TBrevUtil& util) const
{
    return clientName ? *clientName : util.CurrentHostName();
}

ClientSwitches ReadClientSwitches(const TBrevUtil& util)
{
    ClientSwitches switches;
    std::string value;
    switches.silent = util.ReadCommandLine("S", value);
    switches.quiet = util.ReadCommandLine("q", value);
    switches.whatIf = util.ReadCommandLine("WHATIF", value);
    switches.offline = util.ReadCommandLine("OFFLINE", value);
    if (util.ReadCommandLine("CLIENTNAME", value))
        switches.clientName = value;
    return switches;
}
