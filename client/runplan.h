#pragma once

#include "client/ruleconditions.h"
#include "shared/datamodule.h"

#include <array>
#include <exception>
#include <functional>
#include <optional>
#include <string>
#include <vector>

// What a run decides, from plain values: the real run carries the plan out, the status
// window shows it, the what-if report prints it and the run log records it, so none of
// them can tell a different story.

// A rule whose computer name matched.
struct RuleRecord {
    std::string name;
    std::array<std::string, 4> uncPaths; // UNCPath1 to UNCPath4, unexpanded
    long long defaultSlot = 0;
    bool active = false;
    std::string networks; // the conditions beside the name; empty: none
    std::string groups;
};

// The printers row that a slot's text names.
struct PrinterRecord {
    std::string uncName;
    bool available = false;
    std::string driver; // empty: a raw queue
};

// What the database and the host say for one pass, read once.
struct RunFacts {
    std::string computer; // the name the rules were matched against
    SiteOptions options;
    // The database may take a rule from the add path.
    bool writable = true;
    // The rules that matched, in the order of the rule query.
    std::vector<RuleRecord> rules;
    // The printers row for a slot's text, ignoring case; a "None" the database lacks is
    // the reserved printer all the same.
    std::function<std::optional<PrinterRecord>(const std::string& stored)> findPrinter;
    // Fills the placeholders of a printer path.
    std::function<std::string(const std::string& text)> expand;
    // The user the run is for, and (asked only for a rule that has such a condition) this
    // computer's addresses and the user's groups.
    std::string user;
    std::function<std::vector<IpAddress>()> addresses;
    std::function<std::vector<std::string>()> groups;
};

enum class SlotAction { Connect, SkipNone, SkipNotListed, SkipUnavailable };

struct SlotPlan {
    int slot = 0;
    std::string stored; // the rule's text
    std::string shown;  // the rule's text, expanded: what the status shows
    std::string path;   // the printers row's text, expanded: what is connected
    SlotAction action = SlotAction::SkipNotListed;
    std::string driver; // the printers row's driver, for a slot that connects
};

struct RulePlan {
    std::string name;
    bool active = false;
    // Why a rule whose name matched does not apply here (its network or group); empty: it
    // applies. Such a rule still counts as a match, as an inactive one does.
    std::string notHere;
    bool clearFirst = false;
    PrintLogon logon = PrintLogon::None; // how the printers' jobs log on
    std::vector<SlotPlan> slotPlans;     // the four slots, in order; empty for an inactive rule
    int defaultSlot = 0;                 // 1 to 4, or 0: the default stays as it is
    std::string defaultPath;             // the default slot's text, expanded
};

// What a pass that matched no rule ends with.
enum class NoMatch {
    NothingToDo, // the option does not let the client add a rule
    ReadOnly,    // a rule could not be stored: the database may not be written here
    NotStorable, // the computer's name could never be stored as a rule
    OfferToAdd,  // the user is asked to add a rule
};

struct RunPlan {
    std::vector<RulePlan> rules; // every rule that matched, in order
    NoMatch noMatch = NoMatch::NothingToDo;
    std::string whyNotStorable; // with NotStorable: "the computer name is empty"
};

RunPlan PlanRun(const RunFacts& facts);
RulePlan PlanRule(const RuleRecord& rule, const RunFacts& facts);

// Why a name could never be stored as a rule that matches it, or "".
std::string WhyNotStorable(const std::string& computer);

// What became of an action that was carried out.
enum class ActionResult {
    Connected,
    Removed,
    DefaultSet,
    Refused,            // the printing system said no; the reason says why
    ServerNotAnswering, // the print server could not be asked
};

// The words the run log and the report use, in one place.
std::string Words(SlotAction action);
std::string Words(NoMatch noMatch, const std::string& whyNotStorable = "");
std::string Words(ActionResult result, const std::string& reason = "");
// The result of a printer action that failed, from its error.
ActionResult FailureOf(const std::exception& error);
// Words(FailureOf(error), error.what()).
std::string FailureWords(const std::exception& error);
