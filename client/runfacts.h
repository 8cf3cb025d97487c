#pragma once

#include "client/runplan.h"

#include <string>

class DataModule;
class RowSet;

// Reads what one pass for a user decides from: the options once, the rules whose computer
// name matches, and a printer's row only when a slot asks for it (a run whose rule is
// inactive reads no printer); this computer's addresses and the user's groups when a rule
// asks for them. The data module must be open.
RunFacts ReadRunFacts(DataModule& dbform, const std::string& computer, const std::string& user);

// Writes the rule query: rows whose RULENAME holds a '*' or equals the name (any case).
void BuildRuleQuery(RowSet& ruleQuery, const std::string& clientName);
