#pragma once

#include <iosfwd>
#include <string>

class PrintSystem;
class TBrevUtil;
class Tdbform;

// What a run would do for a computer and a user, as plain lines that a person reads and a
// script can grep; nothing is done. dbform is open (unseeded is fine). shares asks the
// print servers whether each printer answers as a printer share; null: not asked.
std::string WhatIfReport(Tdbform& dbform, const std::string& clientName, const std::string& user,
                         PrintSystem* shares);

// wdclient /WHATIF: opens the database without changing it, prints the report on out and
// returns 0; an error is printed on err and gives 1. No window is shown.
int RunWhatIf(const TBrevUtil& brevUtil, std::ostream& out, std::ostream& err);
