#pragma once

#include <array>
#include <exception>
#include <functional>
#include <optional>
#include <string>
#include <vector>

// What a run decides for one rule, from the rows alone: the real run carries the decision
// out, the what-if report prints it, so the two cannot tell different stories.

// A candidate row of the rule query.
struct RuleRow {
    std::string name;
    std::array<std::string, 4> uncPaths; // UNCPath1 to UNCPath4, unexpanded
    long long defaultSlot = 0;
    bool active = false;
};

// The printers row that a slot's text locates.
struct PrinterRow {
    std::string uncName;
    bool available = false;
};

enum class SlotAction { Connect, SkipNone, SkipNotListed, SkipUnavailable };

struct SlotPlan {
    int slot = 0;
    std::string stored; // the rule's text
    std::string shown;  // the rule's text, expanded: what the status shows
    std::string path;   // the printers row's text, expanded: what is connected
    SlotAction action = SlotAction::SkipNotListed;
};

struct RulePlan {
    std::string name;
    bool active = false;
    bool clearFirst = false;
    std::vector<SlotPlan> slotPlans; // the four slots, in order; empty for an inactive rule
    int defaultSlot = 0;             // 1 to 4, or 0: the default stays as it is
    std::string defaultPath;         // the default slot's text, expanded
};

struct PlanSources {
    bool clearFirst = false; // the Config option ClearPrintersFirst
    // Locates the printers row for a slot's text, ignoring case.
    std::function<std::optional<PrinterRow>(const std::string& stored)> findPrinter;
    std::function<std::string(const std::string& text)> expand;
};

RulePlan PlanRule(const RuleRow& rule, const PlanSources& sources);

// The words both the report and the run log use for a slot that connects nothing.
std::string SkipReason(SlotAction action);

// The run-log result of a printer action that failed: "server not answering: ..." when the
// server could not be asked, else "refused: ...".
std::string FailureResult(const std::exception& error);

class DataModule;
class RowSet;
// The sources of the data module: a file that lacks the Config row or the "None" printer
// is planned as the run's opening would seed it.
PlanSources PlanSourcesOf(DataModule& dbform);

// Opens the rule query for the name and calls `matched` for every row that applies, in the
// order of the query; returns whether any did.
bool VisitMatchingRules(RowSet& ruleQuery, const std::string& clientName,
                        const std::function<void(const RuleRow&)>& matched);
