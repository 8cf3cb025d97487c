#pragma once

#include "client/runplan.h"

#include <string>

class DataModule;
class RowSet;

// Reads what one pass decides from: the options once, the rules whose computer name matches,
// and a printer's row only when a slot asks for it (a run whose rule is inactive reads no
// printer). The data module must be open.
RunFacts ReadRunFacts(DataModule& dbform, const std::string& computer);

// Writes the rule query: rows whose RULENAME holds a '*' or equals the name (any case).
void BuildRuleQuery(RowSet& ruleQuery, const std::string& clientName);
