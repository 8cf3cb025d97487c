#pragma once

#include "platform/host/ipaddress.h"

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

class PrintSystem;
class TBrevUtil;
struct ClientSwitches;

// What a run would do for a computer and a user, as plain lines that a person reads and a
// script can grep; nothing is done. util names the database (its start directory) and gives
// the placeholder switches. shares asks the print servers whether each printer answers as a
// printer share; null: not asked. addresses: the computer's addresses that rules by network
// are tested against; none given: this computer's own.
std::string WhatIfReport(const TBrevUtil& util, const std::string& clientName,
                         const std::string& user, PrintSystem* shares,
                         const std::optional<std::vector<IpAddress>>& addresses = std::nullopt);

// wdclient /WHATIF: opens the database without changing it, prints the report on out and
// returns 0; an error is printed on err and gives 1. No window is shown.
int RunWhatIf(const TBrevUtil& brevUtil, const ClientSwitches& switches, std::ostream& out,
              std::ostream& err);
